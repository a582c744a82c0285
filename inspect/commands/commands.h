// The commands of rimbolt-inspect. Each prints its result to stdout, for a
// person or, with --json, as one JSON document, and returns the exit
// status.
#ifndef INSPECT_COMMANDS_COMMANDS_H_
#define INSPECT_COMMANDS_COMMANDS_H_

#include "inspect/cli/options.h"
#include "inspect/model/selection.h"

namespace inspect {

// Exit statuses, as cmp and diff have them.
constexpr int kExitNothing = 0;  // nothing found, no difference
constexpr int kExitFound = 1;    // findings (warnings only), differences
constexpr int kExitTrouble = 2;  // a file the tool cannot read, bad usage

// The modes and features that --display, --mode and --feature select.
Selection SelectionOf(const Options &options);

// Each takes the |options| that ParseOptions accepted for it.

// What the tool reads from its one file.
int Show(const Options &options);
// Where the tool reads any of its files other than they seem to say.
int Check(const Options &options);
// What differs between its two files as the tool reads them.
int Diff(const Options &options);
// Writes its file as the tool reads and writes it, without combining, to
// -o OUT ("-" is stdout) or, with --in-place, over the file, saved as the
// tool saves its output (atomically, keeping owner, mode and links). On
// stderr, each of check's findings in the file with what the rewrite made
// of it (Rewrite of codes.h), then a line saying what was written, with
// the count of each kind and of the file's comments, which the tool's
// output never carries. Returns kExitNothing when written; kExitTrouble,
// writing nothing and leaving no file behind, when the tool cannot read
// the file, OUT is the file itself, or the rewrite or the save fails (the
// message names the file and gives the reason).
int Normalize(const Options &options);
// Writes the payload that --display, --mode and --feature (or --lut) name,
// as the tool decodes it, to -o OUT or standard output: raw bytes, or with
// --hex their upper-case hex digits and a line feed. Exit 2, nothing
// written, when OUT is FILE itself, the tool cannot read FILE, the payload
// is not there or the mode is ambiguous, or the output cannot be written.
int Extract(const Options &options);
// Writes to -o OUT FILE's bytes with that payload set from --from BIN's
// bytes and its size (a LUT's in whole 16-byte packets), a feature the mode
// lacks added; every other byte of FILE as it was. The result is read back
// with the tool's reader first: exit 2, nothing written, unless the payload
// then holds exactly BIN and everything else reads as before; also when
// OUT is FILE or BIN itself, FILE or BIN cannot be read, the mode or LUT
// slot is not there or is ambiguous, BIN is over the limits, or BIN is
// empty without --allow-empty.
int Inject(const Options &options);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_COMMANDS_H_
