// The filters --display, --mode and --feature of show, check and diff:
// which modes, features and findings they select.
#ifndef INSPECT_REPORT_FILTER_H_
#define INSPECT_REPORT_FILTER_H_

#include <stdint.h>

#include <string>

#include "color_lib/disp_mode.h"
#include "inspect/cli/options.h"
#include "inspect/model/findings.h"

namespace inspect {

// Whether any of the three filters is given.
bool IsFiltered(const Options &options);

// "--display 0 --feature 3": the filters given, as on the command line.
std::string FilterText(const Options &options);

// Whether |mode| is of the display and mode ID asked for (any when not
// given).
bool SelectsMode(const Options &options, const tavo::DispMode &mode);

// Whether a feature of |type| is asked for (any when not given).
bool SelectsFeature(const Options &options, uint32_t type);

// Whether |finding| is kept under the filters. The error that the tool
// fails on the file always is; any other finding only when the mode (and,
// with --feature, the feature) whose element holds it is selected, so a
// finding outside every mode is left out under a filter.
bool SelectsFinding(const Options &options, const Finding &finding);

// "--display 5 selects no mode", "--feature 3 selects 2 features in 4
// modes": what the filters select of |modes|.
std::string SelectionText(const Options &options, const tavo::DispModes &modes);

// How many modes of |modes| the filters select.
int CountSelectedModes(const Options &options, const tavo::DispModes &modes);

}  // namespace inspect

#endif  // INSPECT_REPORT_FILTER_H_
