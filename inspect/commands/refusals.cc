#include "inspect/commands/refusals.h"

#include <stdio.h>

#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/report/report.h"

namespace inspect {

namespace {

// Says "COMMAND: |problem|" on stderr, after the name of the command that
// |args| runs; returns kExitTrouble.
int Trouble(const Args &args, const std::string &problem) {
  fprintf(stderr, "%s: %s\n", args.words()[0].c_str(), problem.c_str());
  return kExitTrouble;
}

}  // namespace

int NothingWritten(const Args &args, const std::string &problem) {
  return Trouble(args, "nothing written: " + problem);
}

bool RefusesUnreadable(const Args &args, const CalibFile &file) {
  if (!ReportUnreadable({&file}, false)) return false;
  NothingWritten(args, "the tool cannot read " + file.path);
  return true;
}

bool NotWritten(const Args &args, const std::string &output,
                const std::string &problem) {
  if (problem.empty()) return false;
  Trouble(args, OutputName(output) + " not written: " + problem);
  return true;
}

bool RefusesSameFile(const Args &args, const std::string &output,
                     const std::vector<std::string> &inputs,
                     const char *reader) {
  for (const std::string &input : inputs) {
    if (NamesOneFile(input, output)) {
      return NotWritten(
          args, output,
          Format("it is %s itself, which %s", input.c_str(), reader));
    }
  }
  return false;
}

}  // namespace inspect
