// check: every place where the tool will write a file other than it says,
// or will fail on it.
#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/calib_file.h"
#include "inspect/commands.h"
#include "inspect/filter.h"
#include "inspect/json.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspect/text.h"

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

bool IsListed(const std::vector<std::string> &codes, const char *code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// The findings the filters select, with --ignore's codes dropped and
// --error-on's made errors; |left_out| counts those the filters left out.
std::vector<Finding> Gate(const Options &options,
                          const std::vector<Finding> &found, int *left_out) {
  std::vector<Finding> kept;
  *left_out = 0;
  for (const Finding &finding : found) {
    if (!SelectsFinding(options, finding)) {
      ++*left_out;
      continue;
    }
    if (IsListed(options.ignore, finding.code)) continue;
    kept.push_back(finding);
    if (IsListed(options.error_on, finding.code)) kept.back().is_error = true;
  }
  return kept;
}

// "qa.xml: --display 0 selects 2 modes; 3 findings elsewhere are left out".
std::string FilterLine(const Options &options, const CalibFile &file,
                       int left_out) {
  std::string text = file.path + ": " + SelectionText(options, *file.modes);
  if (left_out > 0) {
    text += "; " + Count(left_out, "finding") + " elsewhere " +
            (left_out == 1 ? "is" : "are") + " left out";
  }
  return text;
}

// What a filter selects of one file, for --json.
struct Selected {
  std::string path;
  int modes;
  int left_out;
};

void SelectedJson(const std::vector<Selected> &selected, JsonWriter *json) {
  json->Key("filtered").BeginArray();
  for (const Selected &file : selected) {
    json->BeginObject();
    json->Key("file").String(file.path);
    json->Key("modes_selected").Int(file.modes);
    json->Key("findings_left_out").Int(file.left_out);
    json->EndObject();
  }
  json->EndArray();
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

int Check(const Options &options) {
  bool json = options.json;
  bool filtered = IsFiltered(options);
  int status = kExitNothing;
  std::vector<Selected> selected;
  JsonWriter document;
  document.BeginObject().Key("findings").BeginArray();
  for (const std::string &path : options.files) {
    std::unique_ptr<CalibFile> file;
    int left_out = 0;
    std::vector<Finding> found =
        Gate(options, CheckFile(path, &file), &left_out);
    for (const Finding &finding : found) {
      int finding_status = finding.is_error ? kExitTrouble : kExitFound;
      if (finding_status > status) status = finding_status;
    }
    // Of a file the tool cannot read, the error says all.
    bool selects = filtered && file->modes != nullptr;
    if (selects) {
      selected.push_back(
          {path, CountSelectedModes(options, *file->modes), left_out});
    }
    if (json) {
      AddFindingsJson(&path, found, &document);
      continue;
    }
    if (found.empty()) {
      printf("%s: nothing found\n", path.c_str());
    } else {
      PrintFindings(stdout, path, found);
    }
    if (selects) printf("%s\n", FilterLine(options, *file, left_out).c_str());
  }
  document.EndArray();
  if (filtered) SelectedJson(selected, &document);
  document.EndObject();
  if (json) fputs(document.Text().c_str(), stdout);
  return status;
}

}  // namespace inspect
