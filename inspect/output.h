// Where extract and inject put what they made: standard output, or a file
// saved as the tool saves its own.
#ifndef INSPECT_OUTPUT_H_
#define INSPECT_OUTPUT_H_

#include <string>

#include "calib_db/document_file.h"

namespace inspect {

// How messages name the output |path|: "standard output" for "" and "-".
std::string OutputName(const std::string &path);

// Writes |content| to standard output when |path| is "" or "-", else to
// the file |path| through tavo::SaveFileContent: atomically, nothing of it
// or of a temporary file left where the save fails. Returns "" when all of
// it was written, else why not, in a few words ("No such file or
// directory", "not following symbolic link L, which root does not own").
std::string WriteOutput(const std::string &path, const std::string &content);

// The same for the content |print| writes, which it may be asked to write
// twice (see tavo::SaveFileContent).
std::string WriteOutput(const std::string &path,
                        const tavo::FilePrinter &print);

}  // namespace inspect

#endif  // INSPECT_OUTPUT_H_
