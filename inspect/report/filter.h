// The filters --display, --mode and --feature of show, check and diff, and
// check's gates: which findings they keep, and what they select, in words.
#ifndef INSPECT_REPORT_FILTER_H_
#define INSPECT_REPORT_FILTER_H_

#include <string>
#include <vector>

#include "color_lib/disp_mode.h"
#include "inspect/model/findings.h"
#include "inspect/model/selection.h"

namespace inspect {

// "--display 0 --feature 3": the filters given, as on the command line.
std::string FilterText(const Selection &selection);

// Whether |finding| is kept under the filters. The error that the tool
// fails on the file always is; any other finding only when the mode (and,
// with --feature, the feature) whose element holds it is selected, so a
// finding outside every mode is left out under a filter.
bool SelectsFinding(const Selection &selection, const Finding &finding);

// "--display 5 selects no mode", "--feature 3 selects 2 features in 4
// modes": what the filters select of |modes|.
std::string SelectionText(const Selection &selection,
                          const tavo::DispModes &modes);

// check's gates: the codes of warnings that count as errors
// (--error-on), and of those that are dropped (--ignore).
struct Gates {
  std::vector<std::string> error_on;
  std::vector<std::string> ignore;
};

// Whether |code|, given to the gate |option|, is one of check's codes that
// it may take: "" or the problem ("unknown code 'x' for --error-on; the
// codes are: unreadable, ..."; --ignore cannot drop the error that the
// tool fails).
std::string GateCodeProblem(const char *option, const std::string &code);

// The findings of |found| that |selection| keeps, with |gates|' --ignore
// codes dropped and their --error-on codes made errors; |left_out| counts
// those the filters left out.
std::vector<Finding> Gate(const Selection &selection, const Gates &gates,
                          const std::vector<Finding> &found, int *left_out);

}  // namespace inspect

#endif  // INSPECT_REPORT_FILTER_H_
