// Where the commands put what they made: standard output, or a file saved
// as the tool saves its own.
#ifndef INSPECT_BASE_OUTPUT_H_
#define INSPECT_BASE_OUTPUT_H_

#include <string>

#include "calib_db/document_file.h"

namespace inspect {

// How messages name the output |path|: "standard output" for "" and "-".
std::string OutputName(const std::string &path);

// Whether |a| and |b| name one file, through symbolic or hard links; false
// when either is "-" or does not exist.
bool NamesOneFile(const std::string &a, const std::string &b);

// Writes |content| to standard output when |path| is "" or "-", else to
// the file |path| through tavo::SaveFileContent: into a device, FIFO or
// socket as a plain write; over a regular file atomically, only where a
// plain write to it would be allowed, nothing of it or of a temporary file
// left where the save fails. A regular file with more than one hard link
// is not written, since a new file would part its names. Returns "" when
// all of it was written, else why not, in a few words ("No such file or
// directory", "Permission denied", "not following symbolic link L, which
// root does not own").
std::string WriteOutput(const std::string &path, const std::string &content);

// The same for the content |print| writes, which it may be asked to write
// twice (see tavo::SaveFileContent).
std::string WriteOutput(const std::string &path,
                        const tavo::FilePrinter &print);

// Flushes and closes standard output. Returns "" when it took all that was
// printed to it, else the system's reason ("No space left on device").
std::string CloseStandardOutput();

}  // namespace inspect

#endif  // INSPECT_BASE_OUTPUT_H_
