#include "inspect/base/standard_input.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "calib_db/temp_folder.h"

namespace inspect {

std::string CopyToEnd(int from, int to, uint64_t limit) {
  // What a regular file holds is known without copying it.
  struct stat info;
  off_t at = lseek(from, 0, SEEK_CUR);
  if (fstat(from, &info) == 0 && S_ISREG(info.st_mode) && at >= 0 &&
      static_cast<uint64_t>(info.st_size - std::min(at, info.st_size)) >
          limit) {
    return kTooLarge;
  }
  char block[1 << 16];
  uint64_t copied = 0;
  for (;;) {
    ssize_t got = read(from, block, sizeof(block));
    if (got == 0) return "";
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return strerror(errno);
    copied += static_cast<uint64_t>(got);
    if (copied > limit) return kTooLarge;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(to, block + done, got - done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return strerror(errno);
      done += put;
    }
  }
}

namespace {

// The signals that end the tool by default, after which the temporary
// file must still go. SIGKILL cannot be caught.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

// The temporary file's name where a signal handler can reach it; "" when
// there is none.
char g_temporary[PATH_MAX];

void RemoveTemporary() {
  if (g_temporary[0] != '\0') unlink(g_temporary);
}

// Only async-signal-safe calls: unlink, then the signal's own default.
void RemoveAndRaise(int signal_number) {
  RemoveTemporary();
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// A memory file and its name under /proc, or -1 where either is missing.
int OpenMemoryFile(std::string *path) {
  int fd = memfd_create("rimbolt-inspect-stdin", MFD_CLOEXEC);
  if (fd < 0) return -1;
  // The path is set only with the file, so that none names a closed one.
  std::string name = "/proc/self/fd/" + std::to_string(fd);
  if (access(name.c_str(), R_OK) != 0) {
    close(fd);
    return -1;
  }
  *path = name;
  return fd;
}

// A new private file under tavo::TempBase(), or -1 with |problem| set. It
// is removed at exit and on the ending signals that the caller has not
// chosen to ignore (as nohup does with SIGHUP), which are held back until
// it is in place to be removed.
int OpenTemporaryFile(std::string *path, std::string *problem) {
  std::string name = tavo::TempBase() + "/rimbolt-inspect-stdin-XXXXXX";
  if (name.size() >= sizeof(g_temporary)) {
    *problem = strerror(ENAMETOOLONG);
    return -1;
  }
  sigset_t ending, old_mask;
  sigemptyset(&ending);
  for (int signal_number : kEndingSignals) {
    sigaddset(&ending, signal_number);
    struct sigaction old_action;
    if (sigaction(signal_number, nullptr, &old_action) == 0 &&
        old_action.sa_handler == SIG_IGN) {
      continue;
    }
    // Until the file is made, the handler only raises the signal again.
    struct sigaction action = {};
    action.sa_handler = RemoveAndRaise;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
  }
  sigprocmask(SIG_BLOCK, &ending, &old_mask);
  int fd = mkostemp(&name[0], O_CLOEXEC);
  if (fd >= 0) {
    memcpy(g_temporary, name.c_str(), name.size() + 1);
    atexit(RemoveTemporary);
    *path = name;
  } else {
    *problem = strerror(errno);
  }
  sigprocmask(SIG_SETMASK, &old_mask, nullptr);
  return fd;
}

StandardInput Keep() {
  StandardInput input;
  // A closed standard input would otherwise be the stand-in's own number.
  if (fcntl(STDIN_FILENO, F_GETFD) < 0) {
    input.problem = strerror(errno);
    return input;
  }
  int fd = OpenMemoryFile(&input.path);
  bool temporary = fd < 0;
  if (temporary) fd = OpenTemporaryFile(&input.path, &input.problem);
  if (fd < 0) return input;
  input.problem = CopyToEnd(STDIN_FILENO, fd);
  // The memory file lives as long as its descriptor; the temporary one is
  // opened again by name.
  if (temporary && close(fd) != 0 && input.problem.empty()) {
    input.problem = strerror(errno);
  }
  return input;
}

}  // namespace

const StandardInput &KeptStandardInput() {
  static const StandardInput input = Keep();
  return input;
}

}  // namespace inspect
