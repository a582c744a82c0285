#include "inspect/model/calib_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "inspect/base/log_capture.h"
#include "inspect/base/standard_input.h"
#include "inspect/base/text.h"

namespace inspect {

namespace {

// What the tool prints when it gets no mode list from a file.
constexpr char kNoModes[] = "Failed to enumerate modes from the file";
// What it says when standard input cannot be read to its end.
constexpr char kNoStandardInput[] = "Couldn't read standard input";

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

// The path that the reader opens for |path|, and in |problem| why it
// cannot be opened when that is known before trying: "-" is standard
// input, kept for the process.
std::string OpenedPath(const std::string &path, std::string *problem) {
  if (path != kStandardInputName) return path;
  const StandardInput &input = KeptStandardInput();
  *problem = input.problem;
  return input.path;
}

// |text| with every |from| in it shown as |to|: the reader's log names
// the path it opened, not the one given.
std::string ShownAs(std::string text, const std::string &from,
                    const std::string &to) {
  if (from.empty() || from == to) return text;
  for (size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string ReadWholeFile(const std::string &given, std::string *bytes,
                          uint64_t limit) {
  std::string problem;
  std::string path = OpenedPath(given, &problem);
  if (!problem.empty()) return problem;
  // A folder opens, and its read fails with the system's reason.
  FILE *file = fopen(path.c_str(), "rb");
  if (file == nullptr) return strerror(errno);
  std::unique_ptr<FILE, int (*)(FILE *)> closer(file, fclose);
  bytes->clear();
  // Read straight into the string, sized once for a regular file: a whole
  // calibration file is tens of megabytes.
  struct stat info;
  bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  if (regular && static_cast<uint64_t>(info.st_size) > limit) return kTooLarge;
  size_t used = 0;
  bytes->resize((regular ? static_cast<size_t>(info.st_size) : 0) + 1);
  size_t got;
  // One byte past |limit| tells a file that is too large, whatever its
  // kind: a device or a file that grows.
  while ((got = fread(&(*bytes)[used], 1, bytes->size() - used, file)) > 0) {
    used += got;
    if (used > limit) break;
    if (used == bytes->size()) {
      bytes->resize(std::min<uint64_t>(bytes->size() * 2, limit + 1));
    }
  }
  bytes->resize(used > limit ? 0 : used);
  if (used > limit) return kTooLarge;
  return ferror(file) != 0 ? strerror(errno) : "";
}

std::string TooLargeProblem(const std::string &path) {
  return std::string(path == kStandardInputName ? "standard input"
                                                : "the file") +
         " is " + kTooLarge;
}

std::unique_ptr<CalibFile> ReadCalibFile(const std::string &given) {
  auto file = std::make_unique<CalibFile>();
  file->path = given;
  std::string input_problem;
  std::string path = OpenedPath(given, &input_problem);
  file->db =
      std::make_unique<tavo::XmlDatabaseTest>(tavo::kFileTypeQa, path.c_str());
  if (!input_problem.empty()) {
    // Half of a standard input is not read as if it were all of it.
    file->problem = std::string(kNoStandardInput) + " (" + input_problem + ")";
    return file;
  }
  // The tool would cut a longer path and read another file.
  size_t longest = static_cast<size_t>(tavo::kPathSize) - 1;
  if (path.size() > longest) {
    file->problem = Format(
        "Couldn't load file: its path is %zu bytes long, and the tool keeps "
        "only the first %zu bytes of a path",
        path.size(), longest);
    file->unopened = true;
    return file;
  }
  // The reader would hold all of it, and its parse beside it.
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<uint64_t>(info.st_size) > kMaxInputBytes) {
    file->problem = TooLargeProblem(given);
    return file;
  }
  {
    LogCapture log;
    if (file->db->LoadFile() != 0) {
      file->problem = ShownAs(log.Problems(), path, given);
      std::string reason = OpenProblem(path);
      if (!reason.empty()) file->problem += " (" + reason + ")";
      return file;
    }
    file->modes.reset(file->db->ReadModes());
    if (file->modes == nullptr) {
      std::string logged = ShownAs(log.Problems(), path, given);
      file->problem = logged.empty() ? kNoModes : logged + "; " + kNoModes;
      return file;
    }
  }
  LogCapture log;
  file->luts = file->db->GetLuts();
  file->lut_problem = ShownAs(log.Problems(), path, given);
  return file;
}

void LetGoOfDocument(CalibFile *file) {
  if (file->luts != nullptr && file->kept_luts == nullptr) {
    file->kept_luts.reset(tavo::DispLuts::Init());
    if (file->kept_luts == nullptr) return;
    file->kept_luts->num_luts = file->luts->num_luts;
    // The new set is empty: the old one is left with no LUT to release.
    std::swap(file->kept_luts->lut_slots, file->luts->lut_slots);
    file->luts = file->kept_luts.get();
  }
  file->db.reset();
}

const tavo::DispLut<tavo::PccLut> *LutAt(const CalibFile &file, int position) {
  if (file.luts == nullptr) return nullptr;
  return static_cast<const tavo::DispLut<tavo::PccLut> *>(
      file.luts->lut_slots[position]);
}

}  // namespace inspect
