#include "inspect/edit/rewrite.h"

#include <stdio.h>

#include "calib_db/document_file.h"
#include "inspect/base/log_capture.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"

namespace inspect {

namespace {

// The tool's output file type, which decides what it writes as IsAppMode.
constexpr tavo::FileType kOutputType = tavo::kFileTypeFactory;

// What the writer logged, after |what| failed.
std::string WriterProblem(const char *what, const LogCapture &log) {
  std::string problem = Format("the tool's writer fails to %s", what);
  std::string logged = log.Problems();
  return logged.empty() ? problem : problem + ": " + logged;
}

}  // namespace

std::string RewrittenFile::Fill(const CalibFile &file) {
  if (folder_.path().empty()) return folder_.problem();
  std::string path = folder_.path() + "/output.xml";
  // The class cuts a longer path, and would write elsewhere.
  if (path.size() >= static_cast<size_t>(tavo::kPathSize)) {
    return Format("the temporary folder's path %s is too long for the tool",
                  folder_.path().c_str());
  }
  LogCapture log;
  output_ = std::make_unique<tavo::XmlDatabaseTest>(kOutputType, path.c_str());
  if (output_->EditFile() != 0) return WriterProblem("open its output", log);
  if (output_->AddModes(file.modes.get()) != 0) {
    return WriterProblem("write the modes", log);
  }
  // The tool logs a LUT section it cannot write whole and saves the rest;
  // a rewrite that is to lose nothing unseen writes nothing instead.
  if (file.luts != nullptr && output_->AddLuts(file.luts) != 0) {
    return WriterProblem("write the LUTs", log);
  }
  return "";
}

std::string RewrittenFile::WriteTo(const std::string &target) const {
  const tinyxml2::XMLDocument *doc = output_->document();
  return WriteOutput(
      target, [doc](FILE *file) { return tavo::PrintDocument(doc, file); });
}

}  // namespace inspect
