// A file as the tool writes what it read of it, without combining, and the
// saving of such a text as the tool saves its output.
#ifndef INSPECT_REWRITE_H_
#define INSPECT_REWRITE_H_

#include <string>

#include "inspect/calib_file.h"

namespace inspect {

// Puts into |text| the tool's output of |file|, whose modes the tool read:
// a new output file filled by the tool's writer (AddModes, then AddLuts of
// the LUTs read) and saved by it, in a private folder under $TMPDIR (or
// /tmp) that is removed after. Returns "" when |text| holds it, else the
// problem in a few words, with the writer's or the system's reason;
// nothing is left behind either way.
std::string RewriteCalibFile(const CalibFile &file, std::string *text);

// Saves |text| as the whole content of |target| as the tool saves its
// output: atomically, keeping the owner, mode and symbolic links of what
// is there (tavo::SaveFileContent). "-" is standard output. Returns "" when
// saved, else why not, naming |target| and giving the system's reason;
// |target| is then as it was and no temporary file is left.
std::string SaveText(const std::string &target, const std::string &text);

}  // namespace inspect

#endif  // INSPECT_REWRITE_H_
