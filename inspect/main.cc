// rimbolt-inspect: what a calibration file holds, what rimbolt will make of
// it, and what combining changed.
#include <stdio.h>
#include <string.h>

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
  if (argc >= 2 &&
      (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
    fputs(kUsage, stdout);
    return inspect::kExitNothing;
  }
  if (argc < 2) return Usage("no command given");
  std::string command = argv[1];
  bool json = false;
  bool options_done = false;
  std::vector<std::string> files;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (!options_done && arg == "--json") {
      json = true;
    } else if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      return Usage(("unknown option " + arg).c_str());
    } else {
      files.push_back(arg);
    }
  }
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
