// extract: one payload's bytes as the tool decodes them, for comparing with
// vendor tools and hex editors.
#include <stdio.h>

#include "inspect/base/output.h"
#include "inspect/commands/commands.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"
#include "inspect/report/report.h"

namespace inspect {

int Extract(const Options &options) {
  const std::string &path = options.files[0];
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (ReportUnreadable({file.get()}, false)) {
    fprintf(stderr, "extract: nothing written: the tool cannot read %s\n",
            path.c_str());
    return kExitTrouble;
  }
  if (NamesOneFile(path, options.output)) {
    fprintf(stderr,
            "extract: %s not written: it is %s itself, which extract "
            "only reads\n",
            options.output.c_str(), path.c_str());
    return kExitTrouble;
  }
  PayloadSelection selection;
  std::string problem = SelectPayload(*file, options, false, &selection);
  if (!problem.empty()) {
    fprintf(stderr, "extract: nothing written: %s\n", problem.c_str());
    return kExitTrouble;
  }
  std::string content;
  if (options.hex) {
    content = HexText(selection.bytes, selection.size) + "\n";
  } else if (selection.size > 0) {
    content.assign(reinterpret_cast<const char *>(selection.bytes),
                   selection.size);
  }
  problem = WriteOutput(options.output, content);
  if (!problem.empty()) {
    fprintf(stderr, "extract: %s not written: %s\n",
            OutputName(options.output).c_str(), problem.c_str());
    return kExitTrouble;
  }
  return kExitNothing;
}

}  // namespace inspect
