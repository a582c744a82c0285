// rimbolt-inspect: what a calibration file holds, what rimbolt will make of
// it, and what combining changed.
#include <stdio.h>

#include <string>
#include <vector>

#include "inspect/commands.h"
#include "inspect/json.h"
#include "inspect/report.h"

namespace {

constexpr char kUsage[] =
    "usage: rimbolt-inspect show [--json] FILE\n"
    "       rimbolt-inspect check [--json] FILE...\n"
    "       rimbolt-inspect diff [--json] OLD NEW\n"
    "\n"
    "  show   what rimbolt reads from FILE: modes, features and LUTs\n"
    "  check  where rimbolt will write a FILE other than it says,\n"
    "         or will fail on it\n"
    "  diff   what differs between OLD and NEW as rimbolt reads them\n"
    "\n"
    "Exit status: 0 nothing found or no difference, 1 findings or\n"
    "differences, 2 trouble (a file rimbolt cannot read, a bad command "
    "line).\n";

// The usage text on stderr after |problem|; with --json, the problem as a
// "usage" error in one JSON document on stdout too.
int Usage(const std::string &problem, bool json) {
  fprintf(stderr, "rimbolt-inspect: %s\n%s", problem.c_str(), kUsage);
  if (json) {
    inspect::PrintErrorsJson(nullptr, {{0, true, "usage", problem}});
  }
  return inspect::kExitTrouble;
}

}  // namespace

int main(int argc, char **argv) {
  bool json = false;
  bool help = false;
  bool options_done = false;
  std::string problem;
  // The command, then its files; --json may stand anywhere before "--", so
  // the whole line is read before anything is said.
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      words.push_back(arg);
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (problem.empty()) {
      problem = "unknown option " + arg;
    }
  }
  if (help) {
    if (json) {
      inspect::JsonWriter usage;
      usage.BeginObject().Key("usage").String(kUsage).EndObject();
      fputs(usage.Text().c_str(), stdout);
    } else {
      fputs(kUsage, stdout);
    }
    return inspect::kExitNothing;
  }
  if (!problem.empty()) return Usage(problem, json);
  if (words.empty()) return Usage("no command given", json);
  const std::string command = words[0];
  const std::vector<std::string> files(words.begin() + 1, words.end());
  if (command == "show") {
    if (files.size() != 1) return Usage("show takes one FILE", json);
    return inspect::Show(files[0], json);
  }
  if (command == "check") {
    if (files.empty()) return Usage("check takes at least one FILE", json);
    return inspect::Check(files, json);
  }
  if (command == "diff") {
    if (files.size() != 2) return Usage("diff takes OLD and NEW", json);
    return inspect::Diff(files[0], files[1], json);
  }
  return Usage("unknown command " + command, json);
}
