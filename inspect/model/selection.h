// Which modes and features a command looks at: all of them, or only those
// of one display, one mode ID or one feature type.
#ifndef INSPECT_MODEL_SELECTION_H_
#define INSPECT_MODEL_SELECTION_H_

#include <stdint.h>

#include <optional>

#include "color_lib/disp_mode.h"

namespace inspect {

struct Selection {
  std::optional<int> display;
  std::optional<int> mode;
  std::optional<int> feature;

  // Whether any of the three is given.
  bool IsFiltered() const;
  // Whether |mode| is of the display and mode ID asked for (any when not
  // given).
  bool SelectsMode(const tavo::DispMode &mode) const;
  // Whether a feature of |type| is asked for (any when not given).
  bool SelectsFeature(uint32_t type) const;
  // How many modes of |modes| are selected.
  int CountModes(const tavo::DispModes &modes) const;
};

}  // namespace inspect

#endif  // INSPECT_MODEL_SELECTION_H_
