#include "calib_db/document_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace tavo {

namespace {

constexpr char kTempSuffix[] = ".tmp-XXXXXX";
constexpr int kFailure = -22;

// The mode a plain fopen() would leave: an existing file keeps its own, a
// new one gets 0666 less the umask.
mode_t TargetMode(const char *path) {
  struct stat info;
  if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
    return info.st_mode & 07777;
  }
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Makes the rename itself durable.
void SyncParentDirectory(const std::string &path) {
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (dir.empty()) dir = "/";
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
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

}  // namespace

int SaveDocument(tinyxml2::XMLDocument *doc, const char *path) {
  std::string temp_path = std::string(path) + kTempSuffix;
  int fd = mkostemp(&temp_path[0], O_CLOEXEC);
  if (fd < 0) return kFailure;
  bool saved = fchmod(fd, TargetMode(path)) == 0;
  saved = WriteAndClose(doc, fd) && saved;
  if (!saved || rename(temp_path.c_str(), path) != 0) {
    unlink(temp_path.c_str());
    return kFailure;
  }
  SyncParentDirectory(path);
  return 0;
}

}  // namespace tavo
