#include "inspect/model/selection.h"

#include <algorithm>

namespace inspect {

bool Selection::IsFiltered() const {
  return display.has_value() || mode.has_value() || feature.has_value();
}

bool Selection::SelectsMode(const tavo::DispMode &candidate) const {
  return (!display.has_value() || *display == candidate.disp_id) &&
         (!mode.has_value() || *mode == candidate.mode_id);
}

bool Selection::SelectsFeature(uint32_t type) const {
  return !feature.has_value() || static_cast<uint32_t>(*feature) == type;
}

int Selection::CountModes(const tavo::DispModes &modes) const {
  return static_cast<int>(std::count_if(
      modes.modes, modes.modes + modes.num_modes,
      [this](const tavo::DispMode &m) { return SelectsMode(m); }));
}

}  // namespace inspect
