// How a command that writes says what it did not write, and why: on
// standard error, "COMMAND: ..." after the name of the command run.
#ifndef INSPECT_COMMANDS_REFUSALS_H_
#define INSPECT_COMMANDS_REFUSALS_H_

#include <string>
#include <vector>

#include "inspect/cli/command_line.h"
#include "inspect/model/calib_file.h"

namespace inspect {

// Says "COMMAND: nothing written: |problem|" on stderr, after the name of
// the command that |args| runs; returns kExitTrouble.
int NothingWritten(const Args &args, const std::string &problem);

// Whether the tool cannot read |file|, the FILE of a command that writes:
// then reported as check reports it, and that nothing is written.
bool RefusesUnreadable(const Args &args, const CalibFile &file);

// Whether |problem| (none: "") kept |output| from being written: then
// says so, as "COMMAND: OUT not written: |problem|".
bool NotWritten(const Args &args, const std::string &output,
                const std::string &problem);

// Whether |output| must not be written since it names one of |inputs|:
// then says so, as NotWritten does, "which |reader|" ("extract only
// reads").
bool RefusesSameFile(const Args &args, const std::string &output,
                     const std::vector<std::string> &inputs,
                     const char *reader);

}  // namespace inspect

#endif  // INSPECT_COMMANDS_REFUSALS_H_
