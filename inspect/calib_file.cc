#include "inspect/calib_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "inspect/log_capture.h"

namespace inspect {

namespace {

// What the tool prints when it gets no mode list from a file.
constexpr char kNoModes[] = "Failed to enumerate modes from the file";

// The system's reason why |path| cannot be opened for reading, or "".
// tinyxml2 calls every such file "not found", and a folder opens but
// cannot be read.
std::string OpenProblem(const std::string &path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return strerror(errno);
  struct stat info;
  bool folder = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  close(fd);
  return folder ? strerror(EISDIR) : "";
}

}  // namespace

std::string ReadWholeFile(const std::string &path, std::string *bytes) {
  std::string problem = OpenProblem(path);
  if (!problem.empty()) return problem;
  FILE *file = fopen(path.c_str(), "rb");
  if (file == nullptr) return strerror(errno);
  bytes->clear();
  char block[1 << 16];
  size_t got;
  while ((got = fread(block, 1, sizeof(block), file)) > 0) {
    bytes->append(block, got);
  }
  bool failed = ferror(file) != 0;
  int saved = errno;
  fclose(file);
  return failed ? strerror(saved) : "";
}

std::unique_ptr<CalibFile> ReadCalibFile(const std::string &path) {
  auto file = std::make_unique<CalibFile>();
  file->path = path;
  file->db =
      std::make_unique<tavo::XmlDatabaseTest>(tavo::kFileTypeQa, path.c_str());
  {
    LogCapture log;
    if (file->db->LoadFile() != 0) {
      file->problem = log.Problems();
      std::string reason = OpenProblem(path);
      if (!reason.empty()) file->problem += " (" + reason + ")";
      return file;
    }
    file->modes.reset(file->db->ReadModes());
    if (file->modes == nullptr) {
      std::string logged = log.Problems();
      file->problem = logged.empty() ? kNoModes : logged + "; " + kNoModes;
      return file;
    }
  }
  LogCapture log;
  file->luts = file->db->GetLuts();
  file->lut_problem = log.Problems();
  return file;
}

const tavo::DispLut<tavo::PccLut> *LutAt(const CalibFile &file, int position) {
  if (file.luts == nullptr) return nullptr;
  return static_cast<const tavo::DispLut<tavo::PccLut> *>(
      file.luts->lut_slots[position]);
}

}  // namespace inspect
