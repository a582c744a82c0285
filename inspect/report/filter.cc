#include "inspect/report/filter.h"

#include <string.h>

#include <algorithm>

#include "inspect/base/text.h"
#include "inspect/model/codes.h"

namespace inspect {

std::string FilterText(const Selection &selection) {
  std::string text;
  const std::pair<const char *, std::optional<int>> filters[] = {
      {"--display", selection.display},
      {"--mode", selection.mode},
      {"--feature", selection.feature}};
  for (const auto &[name, value] : filters) {
    if (!value.has_value()) continue;
    if (!text.empty()) text += " ";
    text += Format("%s %d", name, *value);
  }
  return text;
}

bool SelectsFinding(const Selection &selection, const Finding &finding) {
  if (finding.is_error || !selection.IsFiltered()) return true;
  const FindingPlace &place = finding.place;
  if (!place.mode.has_value()) return false;
  // A mode whose display the check cannot know is of no display asked for.
  if (selection.display.has_value() && place.display != selection.display) {
    return false;
  }
  if (selection.mode.has_value() && place.mode != selection.mode) return false;
  return !selection.feature.has_value() || place.feature == selection.feature;
}

std::string SelectionText(const Selection &selection,
                          const tavo::DispModes &modes) {
  int selected = selection.CountModes(modes);
  std::string text = FilterText(selection) + " selects ";
  if (selected == 0) return text + "no mode";
  if (!selection.feature.has_value()) return text + Count(selected, "mode");
  int features = 0;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    const tavo::DispMode &mode = modes.modes[i];
    if (!selection.SelectsMode(mode)) continue;
    for (const tavo::DispFeature *feature : mode.features) {
      if (feature != nullptr && selection.SelectsFeature(feature->type)) {
        ++features;
      }
    }
  }
  return text +
         (features == 0 ? std::string("no feature")
                        : Count(features, "feature")) +
         " in " + Count(selected, "mode");
}

std::string GateCodeProblem(const char *option, const std::string &code) {
  const Code *known = FindCode(code.c_str());
  if (known == nullptr) {
    std::string problem =
        "unknown code '" + code + "' for " + option + "; the codes are: ";
    for (size_t i = 0; i < kNumCodes; ++i) {
      problem += (i > 0 ? ", " : "") + std::string(kCodes[i].name);
    }
    return problem;
  }
  if (known->is_error && strcmp(option, "--ignore") == 0) {
    return "--ignore cannot drop " + code + ": the tool fails on the file";
  }
  return "";
}

std::vector<Finding> Gate(const Selection &selection, const Gates &gates,
                          const std::vector<Finding> &found, int *left_out) {
  auto listed = [](const std::vector<std::string> &codes, const char *code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  };
  std::vector<Finding> kept;
  *left_out = 0;
  for (const Finding &finding : found) {
    if (!SelectsFinding(selection, finding)) {
      ++*left_out;
      continue;
    }
    if (listed(gates.ignore, finding.code)) continue;
    kept.push_back(finding);
    if (listed(gates.error_on, finding.code)) kept.back().is_error = true;
  }
  return kept;
}

}  // namespace inspect
