// check: every place where the tool will write a file other than it says,
// or will fail on it.
#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>

#include "inspect/base/json.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/model/calib_file.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

// "qa.xml: --display 0 selects 2 modes; 3 findings elsewhere are left out".
std::string FilterLine(const Selection &selection, const CalibFile &file,
                       int left_out) {
  std::string text = file.path + ": " + SelectionText(selection, *file.modes);
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

// A code both made an error and dropped asks for two things at once.
std::string CheckCheck(const Args &args) {
  const std::vector<std::string> ignored = args.List("--ignore");
  for (const std::string &code : args.List("--error-on")) {
    if (std::find(ignored.begin(), ignored.end(), code) != ignored.end()) {
      return "--error-on and --ignore both name " + code;
    }
  }
  return "";
}

int Check(const Args &args) {
  bool json = args.Has("--json");
  Selection selection = SelectionFrom(args);
  Gates gates{args.List("--error-on"), args.List("--ignore")};
  bool filtered = selection.IsFiltered();
  int status = kExitNothing;
  std::vector<Selected> selected;
  JsonWriter document;
  document.BeginObject().Key("findings").BeginArray();
  for (const std::string &path : FilesOf(args)) {
    std::unique_ptr<CalibFile> file;
    int left_out = 0;
    std::vector<Finding> found =
        Gate(selection, gates, CheckFile(path, &file), &left_out);
    for (const Finding &finding : found) {
      int finding_status = finding.is_error ? kExitTrouble : kExitFound;
      if (finding_status > status) status = finding_status;
    }
    // Of a file the tool cannot read, the error says all.
    bool selects = filtered && file->modes != nullptr;
    if (selects) {
      selected.push_back({path, selection.CountModes(*file->modes), left_out});
    }
    if (json) {
      AddFindingsJson(&path, found, &document, file->parser_error);
      continue;
    }
    if (found.empty()) {
      printf("%s: nothing found\n", path.c_str());
    } else {
      PrintFindings(stdout, path, found);
    }
    if (selects) printf("%s\n", FilterLine(selection, *file, left_out).c_str());
  }
  document.EndArray();
  if (filtered) SelectedJson(selected, &document);
  document.EndObject();
  if (json) fputs(document.Text().c_str(), stdout);
  return status;
}

}  // namespace

const Command kCheckCommand = {
    {"check",
     {"--json", "--display", "--mode", "--feature", "--error-on", "--ignore"},
     1,
     SIZE_MAX,
     "check takes at least one FILE",
     CheckCheck},
    "check [--json] [FILTERS] [GATES] FILE...",
    "where rimbolt will write a FILE other than it says,\n"
    "             or will fail on it",
    Check,
};

}  // namespace inspect
