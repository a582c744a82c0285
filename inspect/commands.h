// The commands of rimbolt-inspect. Each prints its result to stdout, for a
// person or, with --json, as one JSON document, and returns the exit
// status.
#ifndef INSPECT_COMMANDS_H_
#define INSPECT_COMMANDS_H_

#include "inspect/options.h"

namespace inspect {

// Exit statuses, as cmp and diff have them.
constexpr int kExitNothing = 0;  // nothing found, no difference
constexpr int kExitFound = 1;    // findings (warnings only), differences
constexpr int kExitTrouble = 2;  // a file the tool cannot read, bad usage

// Each takes the |options| that ParseOptions accepted for it.

// What the tool reads from its one file.
int Show(const Options &options);
// Where the tool reads any of its files other than they seem to say.
int Check(const Options &options);
// What differs between its two files as the tool reads them.
int Diff(const Options &options);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_H_
