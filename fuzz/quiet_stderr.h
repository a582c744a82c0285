// What the code under a fuzzer prints on standard error (the database's
// log, rimbolt-inspect's reports of files it cannot read) is megabytes a
// minute that libFuzzer would keep; RIMBOLT_FUZZ_LOG=1 lets it through.
#ifndef FUZZ_QUIET_STDERR_H_
#define FUZZ_QUIET_STDERR_H_

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

namespace rimbolt_fuzz {

// Where a target's own failure messages go: standard error as it was
// before libFuzzer muted it.
inline int g_report_fd = STDERR_FILENO;

// Called by LLVMFuzzerInitialize with its arguments. Unless
// RIMBOLT_FUZZ_LOG is set, keeps a copy of standard error in g_report_fd
// and adds -close_fd_mask=2, with which libFuzzer points standard error at
// /dev/null and keeps its own output and the sanitizers' reports on a copy
// of it; a -close_fd_mask given is left as it is.
inline void QuietStderr(int *argc, char ***argv) {
  if (getenv("RIMBOLT_FUZZ_LOG") != nullptr) return;
  int copy = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (copy >= 0) g_report_fd = copy;
  for (int i = 1; i < *argc; ++i) {
    if (strncmp((*argv)[i], "-close_fd_mask=", 15) == 0) return;
  }
  // libFuzzer reads its flags after this call, so an added flag counts like
  // one given on the command line.
  static std::vector<char *> args;
  static char mute_flag[] = "-close_fd_mask=2";
  args.assign(*argv, *argv + *argc);
  args.push_back(mute_flag);
  args.push_back(nullptr);
  *argc += 1;
  *argv = args.data();
}

}  // namespace rimbolt_fuzz

#endif  // FUZZ_QUIET_STDERR_H_
