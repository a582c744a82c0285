// A file as the tool writes what it read of it, without combining.
#ifndef INSPECT_EDIT_REWRITE_H_
#define INSPECT_EDIT_REWRITE_H_

#include <memory>
#include <string>

#include "calib_db/temp_folder.h"
#include "calib_db/xml_database_test.h"
#include "inspect/model/calib_file.h"

namespace inspect {

// The tool's output of a file whose modes the tool read: a new output
// document filled by the tool's writer and printed as the tool saves it,
// without the tool's save into a file of its own first.
class RewrittenFile {
 public:
  // Opens a new output of the tool's output type in a private folder under
  // $TMPDIR (or /tmp), removed when this object goes, and fills it with
  // AddModes of |file|'s modes, then AddLuts of its LUTs; |file| must stay
  // as it is until WriteTo. Returns "" when it is filled, else the problem
  // in a few words with the writer's or the system's reason.
  std::string Fill(const CalibFile &file);

  // Writes the filled document, byte for byte as the tool's
  // SaveAndCloseFile would, to |target| as WriteOutput of output.h does
  // ("-": standard output). Returns "" when all of it was written, else
  // WriteOutput's reason. Only after a Fill that returned "".
  std::string WriteTo(const std::string &target) const;

 private:
  tavo::TempFolder folder_{"rimbolt-inspect"};
  // Goes before |folder_|, which holds its file.
  std::unique_ptr<tavo::XmlDatabaseTest> output_;
};

}  // namespace inspect

#endif  // INSPECT_EDIT_REWRITE_H_
