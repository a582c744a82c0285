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
// Writes the payload that --display, --mode and --feature (or --lut) name,
// as the tool decodes it, to -o OUT or standard output: raw bytes, or with
// --hex their upper-case hex digits and a line feed. Exit 2, nothing
// written, when the tool cannot read FILE, the payload is not there or the
// mode is ambiguous, or the output cannot be written.
int Extract(const Options &options);
// Writes to -o OUT FILE's bytes with that payload set from --from BIN's
// bytes and its size (a LUT's in whole 16-byte packets), a feature the mode
// lacks added; every other byte of FILE as it was. The result is read back
// with the tool's reader first: exit 2, nothing written, unless the payload
// then holds exactly BIN and everything else reads as before; also when
// FILE or BIN cannot be read, the mode or LUT slot is not there or is
// ambiguous, or BIN is over the limits.
int Inject(const Options &options);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_H_
