// The commands of rimbolt-inspect. Each prints its result to stdout, for a
// person or, with |json|, as one JSON document, and returns the exit
// status.
#ifndef INSPECT_COMMANDS_H_
#define INSPECT_COMMANDS_H_

#include <string>
#include <vector>

namespace inspect {

// Exit statuses, as cmp and diff have them.
constexpr int kExitNothing = 0;  // nothing found, no difference
constexpr int kExitFound = 1;    // findings (warnings only), differences
constexpr int kExitTrouble = 2;  // a file the tool cannot read, bad usage

// What the tool reads from |path|.
int Show(const std::string &path, bool json);
// Where the tool reads any of |paths| other than it seems to say.
int Check(const std::vector<std::string> &paths, bool json);
// What differs between |old_path| and |new_path| as the tool reads them.
int Diff(const std::string &old_path, const std::string &new_path, bool json);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_H_
