// rimbolt-inspect: what a calibration file holds, what rimbolt will make of
// it, and what combining changed.
#include <stdio.h>

#include <string>
#include <vector>

#include "inspect/commands.h"

namespace {

constexpr char kUsage[] =
    "usage: rimbolt-inspect show [--json] FILE\n"
    "       rimbolt-inspect check [--json] FILE...\n"
    "       rimbolt-inspect diff [--json] OLD NEW\n"
    "\n"
    "  show   what rimbolt reads from FILE: modes, features and LUTs\n"
    "  check  where rimbolt will read a FILE other than it seems to say,\n"
    "         or will fail on it\n"
    "  diff   what differs between OLD and NEW as rimbolt reads them\n"
    "\n"
    "Exit status: 0 nothing found or no difference, 1 findings or\n"
    "differences, 2 trouble (a file rimbolt cannot read, a bad command "
    "line).\n";

int Usage(const char *problem) {
  fprintf(stderr, "rimbolt-inspect: %s\n%s", problem, kUsage);
  return inspect::kExitTrouble;
}

}  // namespace

int main(int argc, char **argv) {
  bool json = false;
  bool options_done = false;
  // The command, then its files; --json may stand anywhere before "--".
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
      fputs(kUsage, stdout);
      return inspect::kExitNothing;
    } else {
      return Usage(("unknown option " + arg).c_str());
    }
  }
  if (words.empty()) return Usage("no command given");
  const std::string command = words[0];
  const std::vector<std::string> files(words.begin() + 1, words.end());
  if (command == "show") {
    if (files.size() != 1) return Usage("show takes one FILE");
    return inspect::Show(files[0], json);
  }
  if (command == "check") {
    if (files.empty()) return Usage("check takes at least one FILE");
    return inspect::Check(files, json);
  }
  if (command == "diff") {
    if (files.size() != 2) return Usage("diff takes OLD and NEW");
    return inspect::Diff(files[0], files[1], json);
  }
  return Usage(("unknown command " + command).c_str());
}
