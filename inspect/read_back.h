// The check an inject makes before it writes: the edited bytes read with
// the tool's own reader.
#ifndef INSPECT_READ_BACK_H_
#define INSPECT_READ_BACK_H_

#include <string>

#include "inspect/calib_file.h"
#include "inspect/payload.h"
#include "inspect/splice.h"

namespace inspect {

// Reads |splice|'s bytes through ReadCalibFile, from a private temporary
// copy that is removed after, and compares what the reader makes of them
// with |before|, what it made of the file that was edited: the payload
// that |selection| names must now hold exactly |payload| (a LUT's packets,
// a feature's bytes with its Disable as it was, or false for a feature
// added), the mode's NumOfFeatures be |splice|'s where a feature was
// added, and every other mode, feature and LUT, the default mode and the
// LUT count read as before. Returns "" when all is so, else the first
// difference ("mode 0 on display 0: NumOfFeatures reads 4, not 3").
std::string ReadBack(const CalibFile &before, const PayloadSelection &selection,
                     const std::string &payload, const Splice &splice);

}  // namespace inspect

#endif  // INSPECT_READ_BACK_H_
