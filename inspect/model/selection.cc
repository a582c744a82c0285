#include "inspect/model/selection.h"

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
  int count = 0;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    if (SelectsMode(modes.modes[i])) ++count;
  }
  return count;
}

}  // namespace inspect
