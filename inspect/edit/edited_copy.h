// The check an inject makes before it writes: the edited bytes read with
// the tool's own reader.
#ifndef INSPECT_EDIT_EDITED_COPY_H_
#define INSPECT_EDIT_EDITED_COPY_H_

#include <string>

#include "calib_db/temp_folder.h"
#include "inspect/edit/splice.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"

namespace inspect {

// The edited bytes of an inject, kept in a private file that is removed
// when this object goes: read back from there with the tool's reader, and
// the output written from there, so that the bytes need not stay in memory
// beside what the reader makes of them.
class EditedCopy {
 public:
  // Writes |bytes| into the private file and lets go of them (|bytes| is
  // left empty). Returns "" when the file holds them, else the problem.
  std::string Keep(std::string *bytes);

  // Reads the file through ReadCalibFile and compares what the reader
  // makes of it with |before|, what it made of the file that was edited:
  // the payload that |selection| names must now hold exactly |payload| (a
  // LUT's packets, a feature's bytes with its Disable as it was, or false
  // for a feature added), the mode's NumOfFeatures be |splice|'s where a
  // feature was added, and every other mode, feature and LUT, the default
  // mode and the LUT count read as before. Returns "" when all is so, else
  // the first difference ("mode 0 on display 0: NumOfFeatures reads 4, not
  // 3"). Only after a Keep that returned "".
  std::string ReadBack(const CalibFile &before,
                       const PayloadSelection &selection,
                       const std::string &payload, const Splice &splice) const;

  // Copies the file to |target| as WriteOutput of output.h writes
  // ("-": standard output). Returns "" when all of it was written, else
  // why not.
  std::string WriteTo(const std::string &target) const;

 private:
  tavo::TempFolder folder_{"rimbolt-inspect"};
  std::string path_;
};

}  // namespace inspect

#endif  // INSPECT_EDIT_EDITED_COPY_H_
