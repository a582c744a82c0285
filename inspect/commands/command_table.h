// The commands of rimbolt-inspect, listed once: each with its name, the
// options it takes, its usage lines and what runs it. Each prints its
// result to standard output, for a person or, with --json, as one JSON
// document, and returns the exit status.
#ifndef INSPECT_COMMANDS_COMMAND_TABLE_H_
#define INSPECT_COMMANDS_COMMAND_TABLE_H_

#include <string>
#include <vector>

#include "inspect/cli/command_line.h"
#include "inspect/model/payload.h"
#include "inspect/model/selection.h"

namespace inspect {

// Exit statuses, as cmp and diff have them.
constexpr int kExitNothing = 0;  // nothing found, no difference
constexpr int kExitFound = 1;    // findings (warnings only), differences
constexpr int kExitTrouble = 2;  // a file the tool cannot read, bad usage

struct Command {
  CommandSyntax syntax;
  // Its line of the synopsis, after "rimbolt-inspect ".
  const char *synopsis;
  // What it does, in the usage text: lines of at most 60 characters, the
  // later ones indented to stand under the first.
  const char *summary;
  // Runs it on a command line that CheckCommand found it takes.
  int (*run)(const Args &args);
};

// Defined by each command's own file.
extern const Command kShowCommand;
extern const Command kCheckCommand;
extern const Command kDiffCommand;
extern const Command kNormalizeCommand;
extern const Command kExtractCommand;
extern const Command kInjectCommand;

// The command named |name|, or null.
const Command *FindCommand(const std::string &name);

// Every option any command takes, with --help, -h and --version.
const std::vector<OptionSyntax> &AllOptions();

// The usage text: the synopsis, the commands and the options.
std::string UsageText();

// What --display, --mode and --feature select.
Selection SelectionFrom(const Args &args);

// The payload that --display, --mode and --feature, or --lut, name.
PayloadAddress PayloadAddressFrom(const Args &args);

// Why the options of extract or inject do not name one payload: a whole
// feature address, or a LUT slot alone; "".
std::string PayloadAddressProblem(const Args &args);

// The file names given: the words after the command's name.
std::vector<std::string> FilesOf(const Args &args);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_COMMAND_TABLE_H_
