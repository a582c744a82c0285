// check: every place where the tool will write a file other than it says,
// or will fail on it.
#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>

#include "inspect/base/json.h"
#include "inspect/base/text.h"
#include "inspect/commands/commands.h"
#include "inspect/model/calib_file.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

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
    if (!SelectsFinding(SelectionOf(options), finding)) {
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
  std::string text =
      file.path + ": " + SelectionText(SelectionOf(options), *file.modes);
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

int Check(const Options &options) {
  bool json = options.json;
  bool filtered = SelectionOf(options).IsFiltered();
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
          {path, SelectionOf(options).CountModes(*file->modes), left_out});
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
