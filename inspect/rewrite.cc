#include "inspect/rewrite.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "calib_db/xml_database_test.h"
#include "inspect/log_capture.h"
#include "inspect/private_folder.h"
#include "inspect/text.h"

namespace inspect {

namespace {

// The tool's output file type, which decides what it writes as IsAppMode.
constexpr tavo::FileType kOutputType = tavo::kFileTypeFactory;

// What the writer logged, after |what| failed.
std::string WriterProblem(const char *what, const LogCapture &log) {
  std::string logged = log.Problems();
  return logged.empty() ? Format("the tool's writer fails to %s", what)
                        : Format("the tool's writer fails to %s: %s", what,
                                 logged.c_str());
}

}  // namespace

std::string RewriteCalibFile(const CalibFile &file, std::string *text) {
  PrivateFolder folder;
  if (folder.path().empty()) return folder.problem();
  std::string path = folder.path() + "/output.xml";
  // The class cuts a longer path, and would write elsewhere.
  if (path.size() >= static_cast<size_t>(tavo::kPathSize)) {
    return Format("the temporary folder's path %s is too long for the tool",
                  folder.path().c_str());
  }
  LogCapture log;
  tavo::XmlDatabaseTest output(kOutputType, path.c_str());
  if (output.EditFile() != 0) return WriterProblem("open its output", log);
  if (output.AddModes(file.modes.get()) != 0) {
    return WriterProblem("write the modes", log);
  }
  // The tool logs a LUT section it cannot write whole and saves the rest;
  // a rewrite that is to lose nothing unseen writes nothing instead.
  if (file.luts != nullptr && output.AddLuts(file.luts) != 0) {
    return WriterProblem("write the LUTs", log);
  }
  if (output.SaveAndCloseFile() != 0) {
    return WriterProblem("save its output", log);
  }
  std::string problem = ReadWholeFile(path, text);
  if (!problem.empty()) {
    return Format("cannot read the output back from %s: %s", path.c_str(),
                  problem.c_str());
  }
  return "";
}

}  // namespace inspect
