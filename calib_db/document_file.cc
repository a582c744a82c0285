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

// The file that |path| names once symbolic links are followed, so that a
// link at the output path stays and the file it names is replaced in its
// own folder. A dangling link gives the path it points to.
std::string FileBehindLinks(const char *path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    char target[PATH_MAX];
    ssize_t length = readlink(current.c_str(), target, sizeof(target) - 1);
    if (length < 0) return current;
    target[length] = '\0';
    current = target[0] == '/' ? std::string(target)
                               : FolderOf(current) + "/" + target;
  }
  return current;
}

// Owner, group and mode that a replaced file keeps; a new file gets 0666
// less the umask, as a plain fopen() would give it.
struct Keep {
  bool existed;
  uid_t owner;
  gid_t group;
  mode_t mode;
};

Keep WhatToKeep(const std::string &path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    return {true, info.st_uid, info.st_gid,
            static_cast<mode_t>(info.st_mode & 07777)};
  }
  mode_t mask = umask(0);
  umask(mask);
  return {false, 0, 0, static_cast<mode_t>(0666 & ~mask)};
}

// Prints |doc| into |fd| and closes it; false when any byte may be missing.
bool WriteAndClose(tinyxml2::XMLDocument *doc, int fd) {
  FILE *file = fdopen(fd, "w");
  if (file == nullptr) {
    close(fd);
    return false;
  }
  // tinyxml2 does not check its writes: the stream's error flag, the flush
  // and the close tell whether everything reached the disk.
  doc->SaveFile(file, false);
  bool written = doc->ErrorID() == tinyxml2::XML_SUCCESS && !ferror(file) &&
                 fflush(file) == 0 && fsync(fd) == 0;
  return fclose(file) == 0 && written;
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

// Opens an unnamed file in |folder| where the file system allows one, else
// a named one; |temp_path| is empty for an unnamed file. -1 when neither.
int OpenTemporary(const std::string &folder, const std::string &target,
                  std::string *temp_path) {
  int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    temp_path->clear();
    return fd;
  }
  *temp_path = target + kTempMark + "XXXXXX";
  fd = mkostemp(&(*temp_path)[0], O_CLOEXEC);
  if (fd < 0) temp_path->clear();
  return fd;
}

// Gives an unnamed file a name beside |target|, to be renamed over it.
bool NameTemporary(int fd, const std::string &target, std::string *temp_path) {
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

// Where no file can be made in the folder but the output may be written:
// the plain write, checked, but not atomic.
int SaveInPlace(tinyxml2::XMLDocument *doc, const std::string &target) {
  int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return kFailure;
  return WriteAndClose(doc, fd) ? 0 : kFailure;
}

}  // namespace

int SaveDocument(tinyxml2::XMLDocument *doc, const char *path) {
  std::string target = FileBehindLinks(path);
  std::string folder = FolderOf(target);
  Keep keep = WhatToKeep(target);
  FolderLock lock(folder);
  lock.Share(NameOf(target));

  std::string temp_path;
  int fd = OpenTemporary(folder, target, &temp_path);
  if (fd < 0) {
    if (keep.existed && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      return SaveInPlace(doc, target);
    }
    return kFailure;
  }
  bool unnamed = temp_path.empty();
  // Where the process may not give the file away, it stays the process's.
  if (keep.existed && fchown(fd, keep.owner, keep.group) != 0) {
    if (errno != EPERM) {
      close(fd);
      if (!unnamed) unlink(temp_path.c_str());
      return kFailure;
    }
  }
  bool saved = fchmod(fd, keep.mode) == 0;
  int link_fd = unnamed ? dup(fd) : -1;
  saved = WriteAndClose(doc, fd) && saved;
  if (unnamed) {
    saved = saved && link_fd >= 0 && NameTemporary(link_fd, target, &temp_path);
    if (link_fd >= 0) close(link_fd);
  }
  if (!saved || rename(temp_path.c_str(), target.c_str()) != 0) {
    if (!temp_path.empty()) unlink(temp_path.c_str());
    return kFailure;
  }
  lock.Sync();
  return 0;
}

}  // namespace tavo
