// rimbolt-inspect: what a calibration file holds, what rimbolt will make of
// it, what combining changed; and edits of a file that keep to the tool's
// own reading and writing.
#include <stdio.h>
#include <tinyxml2.h>

#include <string>

#include "inspect/base/output.h"
#include "inspect/base/printer.h"
#include "inspect/base/text.h"
#include "inspect/cli/command_line.h"
#include "inspect/commands/command_table.h"
#include "inspect/report/report.h"

#ifndef RIMBOLT_VERSION
#error "RIMBOLT_VERSION is set by the build, as CMake's project version"
#endif

namespace {

// The usage text on stderr after |problem|; with --json, the problem as a
// "usage" error in one JSON document on stdout too.
int Usage(const std::string &problem, bool json) {
  fprintf(stderr, "rimbolt-inspect: %s\n%s", problem.c_str(),
          inspect::UsageText().c_str());
  if (json) {
    inspect::PrintErrors({{nullptr, {0, true, "usage", problem}, ""}}, true);
  }
  return inspect::kExitTrouble;
}

// --help's output, the usage; or --version's, the tool's version and the
// tinyxml2 it was compiled against, whose reading the tool's output follows.
int About(bool json, bool version) {
  std::unique_ptr<inspect::Printer> out = inspect::MakePrinter(json);
  out->BeginObject();
  if (version) {
    out->String("version", RIMBOLT_VERSION);
    out->String("tinyxml2",
                inspect::Format("%d.%d.%d", TIXML2_MAJOR_VERSION,
                                TIXML2_MINOR_VERSION, TIXML2_PATCH_VERSION));
    out->Line("rimbolt-inspect {version}");
    out->Line("built with tinyxml2 {tinyxml2}");
  } else {
    std::string usage = inspect::UsageText();
    out->String("usage", usage);
    out->Text(usage.substr(0, usage.size() - 1));  // a line is ended for it
  }
  out->EndObject();
  out->Finish();
  return inspect::kExitNothing;
}

// Reads the command line, and looks the command up in the table and runs
// it.
int Dispatch(int argc, char **argv, inspect::Args *args) {
  std::string problem =
      inspect::ParseArgs(argc, argv, inspect::AllOptions(), args);
  bool json = args->Has("--json");
  if (args->Has("--help") || args->Has("-h")) return About(json, false);
  if (!problem.empty()) return Usage(problem, json);
  if (args->Has("--version")) return About(json, true);
  if (args->words().empty()) return Usage("no command given", json);
  const std::string &name = args->words()[0];
  const inspect::Command *command = inspect::FindCommand(name);
  if (command == nullptr) return Usage("unknown command " + name, json);
  problem = inspect::CheckCommand(command->syntax, *args);
  if (!problem.empty()) return Usage(problem, json);
  return command->run(*args);
}

}  // namespace

int main(int argc, char **argv) {
  inspect::Args args;
  int status = Dispatch(argc, argv, &args);
  // What was printed counts only once it is out: a full disk or a closed
  // pipe is trouble, not success.
  std::string problem = inspect::CloseStandardOutput();
  if (problem.empty() || status == inspect::kExitTrouble) return status;
  fprintf(stderr, "%s: standard output not written: %s\n",
          args.words().empty() ? "rimbolt-inspect" : args.words()[0].c_str(),
          problem.c_str());
  return inspect::kExitTrouble;
}
