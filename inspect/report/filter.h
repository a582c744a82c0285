// The filters --display, --mode and --feature of show, check and diff:
// which findings they keep, and what they select, in words.
#ifndef INSPECT_REPORT_FILTER_H_
#define INSPECT_REPORT_FILTER_H_

#include <string>

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

}  // namespace inspect

#endif  // INSPECT_REPORT_FILTER_H_
