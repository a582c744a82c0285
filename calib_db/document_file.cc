#include "calib_db/document_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "calib_db/xml_database_test.h"

namespace tavo {

namespace {

constexpr char kTempMark[] = ".tmp-";
constexpr int kMaxLinks = 40;  // as the kernel's own limit on a path

std::string FolderOf(const std::string &path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file gets 0666 less the umask, as a plain fopen() would give it.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// The file that a save to a path replaces, and what it keeps of it: owner,
// group and mode of an existing file.
struct Output {
  std::string path;
  std::string refused;  // the link that was not followed, if any
  bool existed;
  uid_t owner;
  gid_t group;
  mode_t mode;
};

// Follows the symbolic links at |path| one hop at a time, so that a link at
// the output path stays and the file it names is replaced in its own folder.
// Each hop is opened once, without following it, and its owner and target
// are read from that one descriptor: what is checked is what is followed.
// Root follows only root's links, or a run as root would write wherever
// another user points it. A dangling link gives the path it points to.
Output FollowLinks(const char *path) {
  Output output{path, "", false, 0, 0, NewFileMode()};
  const bool as_root = geteuid() == 0;
  for (int hop = 0;; ++hop) {
    int fd = open(output.path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    struct stat info;
    bool known = fd >= 0 && fstat(fd, &info) == 0;
    if (known && S_ISREG(info.st_mode)) {
      output.existed = true;
      output.owner = info.st_uid;
      output.group = info.st_gid;
      output.mode = info.st_mode & 07777;
    }
    if (!known || !S_ISLNK(info.st_mode)) {
      if (fd >= 0) close(fd);
      return output;
    }
    if (as_root && info.st_uid != 0) output.refused = output.path;
    char target[PATH_MAX];
    ssize_t length = output.refused.empty() && hop < kMaxLinks
                         ? readlinkat(fd, "", target, sizeof(target) - 1)
                         : -1;
    close(fd);
    if (length < 0) return output;
    target[length] = '\0';
    output.path = target[0] == '/' ? std::string(target)
                                   : FolderOf(output.path) + "/" + target;
  }
}

// Every save holds the output's folder shared while it writes. A save that
// finds no other one running holds it alone for a moment and removes the
// temporary files that interrupted runs left; a running save's file is
// never touched.
class FolderLock {
 public:
  explicit FolderLock(const std::string &folder)
      : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);  // releases the lock
  }
  FolderLock(const FolderLock &) = delete;
  FolderLock &operator=(const FolderLock &) = delete;

  void Share(const std::string &name) {
    if (fd_ < 0) return;
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) RemoveLeftovers(name);
    flock(fd_, LOCK_SH);
  }
  // Makes a rename in the folder durable.
  void Sync() {
    if (fd_ >= 0) fsync(fd_);
  }

 private:
  void RemoveLeftovers(const std::string &name) {
    int fd = dup(fd_);
    if (fd < 0) return;
    DIR *dir = fdopendir(fd);
    if (dir == nullptr) {
      close(fd);
      return;
    }
    std::string prefix = name + kTempMark;
    while (struct dirent *entry = readdir(dir)) {
      if (strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) {
        unlinkat(fd_, entry->d_name, 0);
      }
    }
    closedir(dir);
  }

  int fd_;
};

// Gives the new file what the output keeps. Where the process may not give
// the file away, it stays the process's.
bool GiveKept(int fd, const Output &output) {
  if (output.existed && fchown(fd, output.owner, output.group) != 0 &&
      errno != EPERM) {
    return false;
  }
  return fchmod(fd, output.mode) == 0;
}

// Prints the content into |fd| and, with |sync|, flushes it to disk; |fd|
// stays open. False when any byte may be missing, errno then telling the
// first failure (a full disk is reported as such, not as a later close).
bool Fill(int fd, const FilePrinter &print, bool sync) {
  int copy = dup(fd);
  FILE *file = copy >= 0 ? fdopen(copy, "w") : nullptr;
  if (file == nullptr) {
    if (copy >= 0) close(copy);
    return false;
  }
  // A printer need not check its writes: the stream's error flag, the flush
  // and the close tell whether everything reached the disk.
  bool written = print(file) && !ferror(file) && fflush(file) == 0 &&
                 (!sync || fsync(fd) == 0);
  int error = errno;
  bool closed = fclose(file) == 0;
  if (!written) errno = error;
  return closed && written;
}

// Gives an unnamed file a name beside |target|, to be renamed over it.
// False where it cannot be named, as without /proc.
bool NameUnnamed(int fd, const std::string &target, std::string *temp_path) {
  char proc_path[64];
  snprintf(proc_path, sizeof(proc_path), "/proc/self/fd/%d", fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp_path = target + kTempMark + std::to_string(getpid()) + "-" +
                 std::to_string(attempt);
    if (linkat(AT_FDCWD, proc_path, AT_FDCWD, temp_path->c_str(),
               AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  temp_path->clear();
  return false;
}

// Puts the filled temporary file in the place of |target|, or removes it.
int Replace(const std::string &temp_path, const std::string &target,
            FolderLock *lock) {
  if (rename(temp_path.c_str(), target.c_str()) != 0) {
    unlink(temp_path.c_str());
    return kFailure;
  }
  lock->Sync();
  return 0;
}

// Where no file can be made in the folder but the output may be written:
// the plain write, checked, but not atomic. The output was no link when its
// links were followed; should it be one now, it is not followed.
int SaveInPlace(const std::string &target, const FilePrinter &print) {
  int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return kFailure;
  bool written = Fill(fd, print, true);
  return close(fd) == 0 && written ? 0 : kFailure;
}

// A device, FIFO or socket is written into as a shell redirection does:
// replacing it would put a regular file in the place of, say, /dev/null.
// The given path is opened itself, so that /dev/stdout reaches the pipe or
// terminal it stands for. Not synced: a pipe cannot be, and nothing there
// is a file on disk.
int WriteInto(const char *path, const FilePrinter &print) {
  int fd = open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return kFailure;
  bool written = Fill(fd, print, false);
  int error = errno;
  bool closed = close(fd) == 0;
  if (!written) errno = error;
  return closed && written ? 0 : kFailure;
}

// Whether a plain open of the existing regular file |target| for writing
// would be allowed: a save must not replace a file that its user could not
// have written, as another user's file in a folder everyone may write.
// Truncates nothing; should a FIFO have taken the file's place meanwhile,
// the probe does not wait for its reader.
bool MayWrite(const std::string &target) {
  int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

int SaveFileContent(const char *path, const FilePrinter &print) {
  Output output = FollowLinks(path);
  if (!output.refused.empty()) return kFailure;
  struct stat info;
  if (stat(path, &info) == 0 && !S_ISREG(info.st_mode)) {
    return WriteInto(path, print);
  }
  if (output.existed && !MayWrite(output.path)) return kFailure;
  std::string folder = FolderOf(output.path);
  FolderLock lock(folder);
  lock.Share(NameOf(output.path));

  std::string temp_path;
  int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    bool filled = GiveKept(fd, output) && Fill(fd, print, true);
    bool named = filled && NameUnnamed(fd, output.path, &temp_path);
    close(fd);
    if (!filled) return kFailure;
    if (named) return Replace(temp_path, output.path, &lock);
    // It cannot be named: the content goes once more into a named file.
  }
  temp_path = output.path + kTempMark + "XXXXXX";
  fd = mkostemp(&temp_path[0], O_CLOEXEC);
  if (fd < 0) {
    if (output.existed &&
        (errno == EACCES || errno == EPERM || errno == EROFS)) {
      return SaveInPlace(output.path, print);
    }
    return kFailure;
  }
  bool filled = GiveKept(fd, output) && Fill(fd, print, true);
  if (close(fd) != 0 || !filled) {
    unlink(temp_path.c_str());
    return kFailure;
  }
  return Replace(temp_path, output.path, &lock);
}

bool PrintDocument(const tinyxml2::XMLDocument *doc, FILE *file) {
  tinyxml2::XMLPrinter printer(file, false);
  doc->Print(&printer);
  return true;
}

int SaveDocument(const tinyxml2::XMLDocument *doc, const char *path) {
  return SaveFileContent(
      path, [doc](FILE *file) { return PrintDocument(doc, file); });
}

std::string LinkRefusedAt(const char *path) {
  return FollowLinks(path).refused;
}

}  // namespace tavo
