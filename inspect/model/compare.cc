#include "inspect/model/compare.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

// Named values as the writer puts them, from what the reader read: a flag
// as 1 or 0.
using Values = std::vector<std::pair<const char *, std::string>>;

// A mode's attributes.
Values Attributes(const tavo::DispMode &mode) {
  return {
      {mf::kName, mode.name},
      {mf::kIsDefaultMode, std::to_string(mode.is_default_mode)},
      {mf::kIsAppMode, std::to_string(mode.is_app_mode)},
      {mf::kNumOfFeatures, std::to_string(mode.num_features)},
      {mf::kDynamicRange, mode.dynamic_range},
      {mf::kColorGamut, mode.color_gamut},
      {mf::kPictureQuality, mode.picture_quality},
      {mf::kRenderIntent, std::to_string(mode.render_intent)},
      {mf::kIsMerge, std::to_string(mode.is_merge)},
  };
}

// The values of the file, not of a mode.
Values FileValues(const CalibFile &file) {
  return {
      {mf::kDefaultMode, std::to_string(file.modes->default_mode)},
      {lf::kNumLuts,
       std::to_string(file.luts != nullptr ? file.luts->num_luts : 0)},
  };
}

// Adds to |changes| each value whose two texts differ; both sides name
// the same values in the same order.
void AddDiffering(const Values &old_values, const Values &new_values,
                  std::vector<AttributeChange> *changes) {
  for (size_t i = 0; i < old_values.size(); ++i) {
    if (old_values[i].second != new_values[i].second) {
      changes->push_back(
          {old_values[i].first, old_values[i].second, new_values[i].second});
    }
  }
}

int ByteAt(const Payload &side, int64_t offset) {
  if (offset >= side.size || side.bytes == nullptr) return -1;
  return side.bytes[offset];
}

// Adds |slot| to |changes| when its two sides, either of them empty,
// differ: in being there, in their bytes or in a feature's Disable.
void AddIfDiffers(int64_t limit, SlotChange slot,
                  std::vector<SlotChange> *changes) {
  if (slot.old_side.size < 0 && slot.new_side.size < 0) return;
  if (slot.old_side.size < 0) {
    slot.change = "added";
  } else if (slot.new_side.size < 0) {
    slot.change = "removed";
  } else {
    // Counts the offsets where the two payloads differ, a byte only one of
    // them has included, and lists the first |limit| of them.
    const Payload &old_side = slot.old_side;
    const Payload &new_side = slot.new_side;
    for (int64_t i = 0; i < std::max(old_side.size, new_side.size); ++i) {
      if (i < std::min(old_side.size, new_side.size) &&
          (old_side.bytes == nullptr || new_side.bytes == nullptr ||
           old_side.bytes[i] == new_side.bytes[i])) {
        continue;
      }
      if (slot.differing++ == 0) slot.first = i;
      if (static_cast<int64_t>(slot.listed.size()) < limit) {
        slot.listed.push_back({i, ByteAt(old_side, i), ByteAt(new_side, i)});
      }
    }
    if (slot.differing == 0 && slot.old_disable == slot.new_disable) return;
  }
  changes->push_back(std::move(slot));
}

// A mode's attributes are not compared under --feature, which asks for
// features alone.
ModeChange CompareModes(const Selection &selection, int64_t bytes_to_list,
                        const tavo::DispMode &old_mode,
                        const tavo::DispMode &new_mode) {
  ModeChange mode{&old_mode, "changed", {}, {}};
  if (!selection.feature.has_value()) {
    AddDiffering(Attributes(old_mode), Attributes(new_mode), &mode.attributes);
  }
  for (int type = 0; type < tavo::kMaxFeatures; ++type) {
    if (!selection.SelectsFeature(type)) continue;
    const tavo::DispFeature *old_feature = old_mode.features[type];
    const tavo::DispFeature *new_feature = new_mode.features[type];
    SlotChange slot{type, "changed", FeaturePayload(old_feature),
                    FeaturePayload(new_feature)};
    slot.old_disable = old_feature != nullptr && old_feature->disable;
    slot.new_disable = new_feature != nullptr && new_feature->disable;
    AddIfDiffers(bytes_to_list, std::move(slot), &mode.features);
  }
  return mode;
}

}  // namespace

Payload FeaturePayload(const tavo::DispFeature *feature) {
  if (feature == nullptr) return {};
  return {feature->size, feature->payload};
}

Payload LutPayload(const CalibFile &file, int position) {
  const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
  if (slot == nullptr || slot->lut == nullptr) return {};
  return {static_cast<int64_t>(slot->lut->num_packets) * tavo::kPccPacketSize,
          slot->lut->packets};
}

Differences Compare(const CalibFile &old_file, const CalibFile &new_file,
                    const Selection &selection, int64_t bytes_to_list) {
  Differences differences;
  const tavo::DispModes &old_modes = *old_file.modes;
  const tavo::DispModes &new_modes = *new_file.modes;
  // A new mode matched with a selected old one is selected too: both are of
  // one display and ID.
  std::vector<bool> matched(new_modes.num_modes, false);
  for (uint32_t i = 0; i < old_modes.num_modes; ++i) {
    const tavo::DispMode &old_mode = old_modes.modes[i];
    if (!selection.SelectsMode(old_mode)) continue;
    uint32_t j = 0;
    while (j < new_modes.num_modes &&
           (matched[j] || new_modes.modes[j].disp_id != old_mode.disp_id ||
            new_modes.modes[j].mode_id != old_mode.mode_id)) {
      ++j;
    }
    if (j == new_modes.num_modes) {
      differences.modes.push_back({&old_mode, "removed", {}, {}});
      continue;
    }
    matched[j] = true;
    ModeChange change =
        CompareModes(selection, bytes_to_list, old_mode, new_modes.modes[j]);
    if (!change.attributes.empty() || !change.features.empty()) {
      differences.modes.push_back(change);
    }
  }
  for (uint32_t j = 0; j < new_modes.num_modes; ++j) {
    if (!matched[j] && selection.SelectsMode(new_modes.modes[j])) {
      differences.modes.push_back({&new_modes.modes[j], "added", {}, {}});
    }
  }
  if (selection.IsFiltered()) return differences;
  AddDiffering(FileValues(old_file), FileValues(new_file), &differences.file);
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    AddIfDiffers(bytes_to_list,
                 {position, "changed", LutPayload(old_file, position),
                  LutPayload(new_file, position)},
                 &differences.luts);
  }
  return differences;
}

}  // namespace inspect
