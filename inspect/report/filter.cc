#include "inspect/report/filter.h"

#include "inspect/base/text.h"

namespace inspect {

bool IsFiltered(const Options &options) {
  return options.display != kNotGiven || options.mode != kNotGiven ||
         options.feature != kNotGiven;
}

std::string FilterText(const Options &options) {
  std::string text;
  const std::pair<const char *, int> filters[] = {
      {"--display", options.display},
      {"--mode", options.mode},
      {"--feature", options.feature}};
  for (const auto &[name, value] : filters) {
    if (value == kNotGiven) continue;
    if (!text.empty()) text += " ";
    text += Format("%s %d", name, value);
  }
  return text;
}

bool SelectsMode(const Options &options, const tavo::DispMode &mode) {
  return (options.display == kNotGiven || options.display == mode.disp_id) &&
         (options.mode == kNotGiven || options.mode == mode.mode_id);
}

bool SelectsFeature(const Options &options, uint32_t type) {
  return options.feature == kNotGiven ||
         static_cast<uint32_t>(options.feature) == type;
}

bool SelectsFinding(const Options &options, const Finding &finding) {
  if (finding.is_error || !IsFiltered(options)) return true;
  const FindingPlace &place = finding.place;
  if (!place.mode.has_value()) return false;
  // A mode whose display the check cannot know is of no display asked for.
  if (options.display != kNotGiven && place.display != options.display) {
    return false;
  }
  if (options.mode != kNotGiven && *place.mode != options.mode) return false;
  return options.feature == kNotGiven || place.feature == options.feature;
}

int CountSelectedModes(const Options &options, const tavo::DispModes &modes) {
  int count = 0;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    if (SelectsMode(options, modes.modes[i])) ++count;
  }
  return count;
}

std::string SelectionText(const Options &options,
                          const tavo::DispModes &modes) {
  int selected = CountSelectedModes(options, modes);
  std::string text = FilterText(options) + " selects ";
  if (selected == 0) return text + "no mode";
  if (options.feature == kNotGiven) return text + Count(selected, "mode");
  int features = 0;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    const tavo::DispMode &mode = modes.modes[i];
    if (!SelectsMode(options, mode)) continue;
    for (const tavo::DispFeature *feature : mode.features) {
      if (feature != nullptr && SelectsFeature(options, feature->type)) {
        ++features;
      }
    }
  }
  return text +
         (features == 0 ? std::string("no feature")
                        : Count(features, "feature")) +
         " in " + Count(selected, "mode");
}

}  // namespace inspect
