// Standard input as a file the tool's reader can open by name, since the
// reader takes a path and seeks in what it opens, which a pipe refuses.
#ifndef INSPECT_BASE_STANDARD_INPUT_H_
#define INSPECT_BASE_STANDARD_INPUT_H_

#include <stdint.h>

#include <string>

#include "inspect/base/input_limit.h"

namespace inspect {

// The FILE, OLD, NEW or BIN that stands for standard input.
constexpr char kStandardInputName[] = "-";

struct StandardInput {
  // A path that opens to all of standard input, as often as it is opened:
  // a memory file at /proc/self/fd/N or, where /proc is missing, a private
  // file under tavo::TempBase() that is removed when the process
  // exits or a signal ends it. "" when neither could be made.
  std::string path;
  // Why standard input could not be read or kept, in the system's words
  // ("Is a directory"), or kTooLarge; "" when |path| holds all of it.
  std::string problem;
};

// Standard input, read to its end (at most kMaxInputBytes) at the first
// call and kept for the rest of the process: every call gives the same.
const StandardInput &KeptStandardInput();

// Copies what the descriptor |from| gives, to its end, into |to|: "" or
// the system's reason, or kTooLarge once more than |limit| bytes came
// (some of which |to| then holds). |limit| is kMaxInputBytes but in tests.
std::string CopyToEnd(int from, int to, uint64_t limit = kMaxInputBytes);

}  // namespace inspect

#endif  // INSPECT_BASE_STANDARD_INPUT_H_
