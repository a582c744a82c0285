// A file as the tool writes what it read of it, without combining.
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

}  // namespace inspect

#endif  // INSPECT_REWRITE_H_
