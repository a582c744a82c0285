// check: every place where the tool will write a file other than it says,
// or will fail on it.
#include <stdio.h>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/calib_file.h"
#include "inspect/commands.h"
#include "inspect/json.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspect/text.h"

namespace inspect {

namespace {

// The tool's own verdict on |path| decides whether it fails; the file's
// bytes and elements, parsed here again with their lines, say where and
// why.
void FindAll(const std::string &path, Findings *findings) {
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  std::string bytes;
  if (!ReadWholeFile(path, &bytes).empty()) {
    findings->Fail(0, file->problem);
    return;
  }
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
    findings->Fail(doc.ErrorLineNum(),
                   Format("%s (%s)", file->problem.c_str(), doc.ErrorStr()));
    return;
  }
  const tinyxml2::XMLElement *root = doc.FirstChildElement();
  if (root == nullptr) {
    findings->Fail(0, file->problem);
    return;
  }
  CheckMarkup(bytes, findings);
  const tinyxml2::XMLElement *modes =
      root->FirstChildElement(tavo::mode_format::kDispModes);
  if (modes == nullptr) {
    findings->Fail(root->GetLineNum(),
                   "no Disp_Modes under the root: " + file->problem);
    return;
  }
  int refused = CheckModeSection(modes, file->modes.get(), findings);
  if (file->modes == nullptr) {
    findings->Fail(
        refused != 0 ? refused : modes->GetLineNum(),
        refused != 0 ? file->problem : file->problem + ListLimit(modes));
  }
  const tinyxml2::XMLElement *luts =
      root->FirstChildElement(tavo::lut_format::kLuts);
  if (luts != nullptr) CheckLutSection(luts, findings);
  CheckNames(root, findings);
}

}  // namespace

std::vector<Finding> CheckFile(const std::string &path) {
  Findings findings;
  FindAll(path, &findings);
  return findings.Sorted();
}

int Check(const Options &options) {
  const std::vector<std::string> &paths = options.files;
  bool json = options.json;
  int status = kExitNothing;
  JsonWriter document;
  document.BeginObject().Key("findings").BeginArray();
  for (const std::string &path : paths) {
    std::vector<Finding> found = CheckFile(path);
    for (const Finding &finding : found) {
      int finding_status = finding.is_error ? kExitTrouble : kExitFound;
      if (finding_status > status) status = finding_status;
    }
    if (json) {
      AddFindingsJson(&path, found, &document);
    } else if (found.empty()) {
      printf("%s: nothing found\n", path.c_str());
    } else {
      PrintFindings(stdout, path, found);
    }
  }
  document.EndArray().EndObject();
  if (json) fputs(document.Text().c_str(), stdout);
  return status;
}

}  // namespace inspect
