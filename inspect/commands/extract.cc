// extract: one payload's bytes as the tool decodes them, for comparing with
// vendor tools and hex editors.
#include "inspect/base/output.h"
#include "inspect/commands/command_table.h"
#include "inspect/commands/refusals.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"

namespace inspect {

namespace {

int Extract(const Args &args) {
  const std::string path = FilesOf(args)[0];
  const std::string output = args.Text("-o");
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (RefusesUnreadable(args, *file) ||
      RefusesSameFile(args, output, {path}, "extract only reads")) {
    return kExitTrouble;
  }
  PayloadSelection selection;
  std::string problem =
      SelectPayload(*file, PayloadAddressFrom(args), false, &selection);
  if (!problem.empty()) return NothingWritten(args, problem);
  std::string content;
  if (args.Has("--hex")) {
    content = HexText(selection.bytes, selection.size) + "\n";
  } else if (selection.size > 0) {
    content.assign(reinterpret_cast<const char *>(selection.bytes),
                   selection.size);
  }
  return NotWritten(args, output, WriteOutput(output, content)) ? kExitTrouble
                                                                : kExitNothing;
}

}  // namespace

const Command kExtractCommand = {
    {"extract",
     {"--display", "--mode", "--feature", "--lut", "--hex", "-o"},
     1,
     1,
     "extract takes one FILE",
     PayloadAddressProblem},
    "extract FILE PAYLOAD [--hex] [-o OUT]",
    "a payload's bytes as rimbolt decodes them",
    Extract,
};

}  // namespace inspect
