// The check engine: every finding in one file, from the tool's own reading
// of it and a scan of its bytes.
#include "inspect/rules/check_file.h"

#include <memory>
#include <string>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace {

// How many comments |node| holds, at any depth.
int CommentsUnder(const tinyxml2::XMLNode *node) {
  int count = 0;
  for (const tinyxml2::XMLNode *child = node->FirstChild(); child != nullptr;
       child = child->NextSibling()) {
    count += child->ToComment() != nullptr ? 1 : CommentsUnder(child);
  }
  return count;
}

// The file parsed as the reader parses it, for the line of an error: the
// reader keeps no document that it could not open.
const tinyxml2::XMLDocument *ParsedAgain(
    const CalibFile &file, std::unique_ptr<tinyxml2::XMLDocument> *doc,
    Findings *findings) {
  std::string bytes;
  if (file.unopened || !ReadWholeFile(file.path, &bytes).empty()) {
    findings->Fail(0, file.problem);
    return nullptr;
  }
  doc->reset(new tinyxml2::XMLDocument(true, tinyxml2::PRESERVE_WHITESPACE));
  if ((*doc)->Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
    findings->Fail((*doc)->ErrorLineNum(),
                   Format("%s (%s)", file.problem.c_str(), (*doc)->ErrorStr()));
    return nullptr;
  }
  return doc->get();
}

// The tool's own verdict on |file| decides whether it fails; the elements
// of the document its reader read, with their lines, say where and why.
// |markup| is what the byte scan found, which counts only for a file that
// parses to a root.
void FindAll(const CalibFile &file, const Findings &markup, Findings *findings,
             int *comments) {
  std::unique_ptr<tinyxml2::XMLDocument> parsed;
  const tinyxml2::XMLDocument *doc = file.db->document();
  if (doc == nullptr) doc = ParsedAgain(file, &parsed, findings);
  if (doc == nullptr) return;
  if (comments != nullptr) *comments = CommentsUnder(doc);
  const tinyxml2::XMLElement *root = doc->FirstChildElement();
  if (root == nullptr) {
    findings->Fail(0, file.problem);
    return;
  }
  findings->Append(markup);
  const tinyxml2::XMLElement *modes =
      root->FirstChildElement(tavo::mode_format::kDispModes);
  if (modes == nullptr) {
    findings->Fail(root->GetLineNum(),
                   "no Disp_Modes under the root: " + file.problem);
    return;
  }
  int refused = CheckModeSection(modes, file.modes.get(), findings);
  if (file.modes == nullptr) {
    findings->Fail(
        refused != 0 ? refused : modes->GetLineNum(),
        refused != 0 ? file.problem : file.problem + ListLimit(modes));
  }
  const tinyxml2::XMLElement *luts =
      root->FirstChildElement(tavo::lut_format::kLuts);
  if (luts != nullptr) CheckLutSection(luts, findings);
  CheckNames(root, findings);
}

}  // namespace

std::vector<Finding> CheckFile(const std::string &path,
                               std::unique_ptr<CalibFile> *read,
                               int *comments) {
  if (comments != nullptr) *comments = 0;
  // The bytes are scanned and let go before the reader holds the file, so
  // that the two are never in memory together.
  Findings markup;
  {
    std::string bytes;
    if (ReadWholeFile(path, &bytes).empty()) CheckMarkup(bytes, &markup);
  }
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  Findings findings;
  FindAll(*file, markup, &findings, comments);
  if (read != nullptr) *read = std::move(file);
  return findings.Sorted();
}

}  // namespace inspect
