// extract: one payload's bytes as the tool decodes them, for comparing with
// vendor tools and hex editors.
#include <stdio.h>

#include "inspect/base/output.h"
#include "inspect/commands/command_table.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"
#include "inspect/report/report.h"

namespace inspect {

namespace {

int Extract(const Args &args) {
  const std::string path = FilesOf(args)[0];
  const std::string output = args.Text("-o");
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (ReportUnreadable({file.get()}, false)) {
    fprintf(stderr, "extract: nothing written: the tool cannot read %s\n",
            path.c_str());
    return kExitTrouble;
  }
  if (NamesOneFile(path, output)) {
    fprintf(stderr,
            "extract: %s not written: it is %s itself, which extract "
            "only reads\n",
            output.c_str(), path.c_str());
    return kExitTrouble;
  }
  PayloadSelection selection;
  std::string problem =
      SelectPayload(*file, PayloadAddressFrom(args), false, &selection);
  if (!problem.empty()) {
    fprintf(stderr, "extract: nothing written: %s\n", problem.c_str());
    return kExitTrouble;
  }
  std::string content;
  if (args.Has("--hex")) {
    content = HexText(selection.bytes, selection.size) + "\n";
  } else if (selection.size > 0) {
    content.assign(reinterpret_cast<const char *>(selection.bytes),
                   selection.size);
  }
  problem = WriteOutput(output, content);
  if (!problem.empty()) {
    fprintf(stderr, "extract: %s not written: %s\n", OutputName(output).c_str(),
            problem.c_str());
    return kExitTrouble;
  }
  return kExitNothing;
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
