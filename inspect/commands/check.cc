// check: every place where the tool will write a file other than it says,
// or will fail on it.

#include <algorithm>
#include <memory>
#include <string>

#include "inspect/base/printer.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/model/calib_file.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

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

// Under a filter, what it selects of each file that the tool reads: a line
// after the file's findings in text, an item of "filtered" in JSON.
struct Selected {
  std::string path;
  int modes;
  int left_out;
};

int Check(const Args &args) {
  Selection selection = SelectionFrom(args);
  Gates gates{args.List("--error-on"), args.List("--ignore")};
  int status = kExitNothing;
  std::vector<Selected> selected;
  std::unique_ptr<Printer> out = MakePrinter(args.Has("--json"));
  out->BeginObject();
  out->BeginList("findings");
  for (const std::string &path : FilesOf(args)) {
    std::unique_ptr<CalibFile> file;
    int left_out = 0;
    std::vector<Finding> found =
        Gate(selection, gates, CheckFile(path, &file), &left_out);
    for (const Finding &finding : found) {
      status = std::max(status, finding.is_error ? kExitTrouble : kExitFound);
      PrintFinding({&path, finding, file->parser_error}, out.get());
    }
    if (found.empty()) out->Text(path + ": nothing found");
    // Of a file the tool cannot read, the error says all.
    if (selection.IsFiltered() && file->modes != nullptr) {
      selected.push_back({path, selection.CountModes(*file->modes), left_out});
      // "qa.xml: --display 0 selects 2 modes; 3 findings elsewhere are left
      // out".
      std::string line = path + ": " + SelectionText(selection, *file->modes);
      if (left_out > 0) {
        line += "; " + Count(left_out, "finding") + " elsewhere " +
                (left_out == 1 ? "is" : "are") + " left out";
      }
      out->Text(line);
    }
  }
  out->EndList();
  if (selection.IsFiltered()) {
    out->BeginList("filtered");
    for (const Selected &file : selected) {
      out->BeginObject();
      out->String("file", file.path);
      out->Int("modes_selected", file.modes);
      out->Int("findings_left_out", file.left_out);
      out->EndObject();
    }
    out->EndList();
  }
  out->EndObject();
  out->Finish();
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
