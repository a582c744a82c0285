#include "inspect/calib_file.h"

#include <stdio.h>

#include "inspect/log_capture.h"

namespace inspect {

namespace {

// What the tool prints when it gets no mode list from a file.
constexpr char kNoModes[] = "Failed to enumerate modes from the file";

}  // namespace

std::unique_ptr<CalibFile> ReadCalibFile(const std::string &path) {
  auto file = std::make_unique<CalibFile>();
  file->path = path;
  file->db =
      std::make_unique<tavo::XmlDatabaseTest>(tavo::kFileTypeQa, path.c_str());
  {
    LogCapture log;
    if (file->db->LoadFile() != 0) {
      file->problem = log.Problems();
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

bool ReportUnreadable(const CalibFile &file) {
  if (file.modes != nullptr) return false;
  fprintf(stderr, "rimbolt-inspect: %s: the tool cannot read it: %s\n",
          file.path.c_str(), file.problem.c_str());
  return true;
}

const tavo::DispLut<tavo::PccLut> *LutAt(const CalibFile &file, int position) {
  if (file.luts == nullptr) return nullptr;
  return static_cast<const tavo::DispLut<tavo::PccLut> *>(
      file.luts->lut_slots[position]);
}

}  // namespace inspect
