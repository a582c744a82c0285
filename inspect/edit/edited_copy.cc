#include "inspect/edit/edited_copy.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "calib_db/xml_database_test.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"

namespace inspect {

namespace {

bool SameBytes(const uint8_t *a, size_t a_size, const uint8_t *b,
               size_t b_size) {
  return a_size == b_size && (a_size == 0 || memcmp(a, b, a_size) == 0);
}

// The first field of the mode that reads otherwise, or "".
std::string ModeDifference(const tavo::DispMode &a, const tavo::DispMode &b) {
  if (a.mode_id != b.mode_id || a.disp_id != b.disp_id) return "its ID";
  if (a.is_default_mode != b.is_default_mode ||
      a.is_app_mode != b.is_app_mode || a.is_merge != b.is_merge) {
    return "a flag";
  }
  if (strcmp(a.name, b.name) != 0) return "its Name";
  if (strcmp(a.dynamic_range, b.dynamic_range) != 0 ||
      strcmp(a.color_gamut, b.color_gamut) != 0 ||
      strcmp(a.picture_quality, b.picture_quality) != 0 ||
      a.render_intent != b.render_intent) {
    return "its classification";
  }
  if (a.num_features != b.num_features) {
    return Format("NumOfFeatures (%u, not %u)", b.num_features, a.num_features);
  }
  return "";
}

// Whether |feature| reads as |size| bytes at |bytes| with |disable|; a null
// |bytes| with |present| false asks for no feature.
bool FeatureIs(const tavo::DispFeature *feature, bool present,
               const uint8_t *bytes, size_t size, bool disable) {
  if (feature == nullptr || !present) return feature == nullptr && !present;
  return feature->disable == disable &&
         SameBytes(feature->payload, feature->size, bytes, size);
}

std::string CompareModes(const CalibFile &before, const CalibFile &after,
                         const PayloadSelection &selection,
                         const std::string &payload, const Splice &splice) {
  const tavo::DispModes &old_modes = *before.modes;
  const tavo::DispModes &new_modes = *after.modes;
  if (old_modes.num_modes != new_modes.num_modes ||
      old_modes.default_mode != new_modes.default_mode) {
    return "the mode count or default mode reads otherwise";
  }
  for (uint32_t i = 0; i < old_modes.num_modes; ++i) {
    tavo::DispMode expected = old_modes.modes[i];
    const tavo::DispMode &got = new_modes.modes[i];
    bool target =
        !selection.is_lut && static_cast<int>(i) == selection.mode_index;
    if (target && splice.added) expected.num_features = splice.num_features;
    std::string where =
        Format("mode %d on display %d", expected.mode_id, expected.disp_id);
    std::string field = ModeDifference(expected, got);
    if (!field.empty()) return where + ": " + field + " reads otherwise";
    for (int type = 0; type < tavo::kMaxFeatures; ++type) {
      const tavo::DispFeature *old_feature = expected.features[type];
      bool ok;
      if (target && type == selection.type) {
        ok = FeatureIs(got.features[type], true,
                       reinterpret_cast<const uint8_t *>(payload.data()),
                       payload.size(),
                       old_feature != nullptr && old_feature->disable);
      } else {
        ok = FeatureIs(got.features[type], old_feature != nullptr,
                       old_feature != nullptr ? old_feature->payload : nullptr,
                       old_feature != nullptr ? old_feature->size : 0,
                       old_feature != nullptr && old_feature->disable);
      }
      if (!ok)
        return Format("%s: feature %d reads otherwise", where.c_str(), type);
    }
  }
  return "";
}

std::string CompareLuts(const CalibFile &before, const CalibFile &after,
                        const PayloadSelection &selection,
                        const std::string &payload) {
  uint32_t old_count = before.luts != nullptr ? before.luts->num_luts : 0;
  uint32_t new_count = after.luts != nullptr ? after.luts->num_luts : 0;
  if (old_count != new_count || before.lut_problem != after.lut_problem) {
    return "the LUT section reads otherwise";
  }
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *old_slot = LutAt(before, position);
    const tavo::DispLut<tavo::PccLut> *new_slot = LutAt(after, position);
    const tavo::PccLut *old_lut = old_slot != nullptr ? old_slot->lut : nullptr;
    const tavo::PccLut *new_lut = new_slot != nullptr ? new_slot->lut : nullptr;
    bool target = selection.is_lut && position == selection.position;
    bool ok;
    if (old_lut == nullptr || new_lut == nullptr) {
      ok = old_lut == nullptr && new_lut == nullptr;
    } else {
      size_t new_size =
          static_cast<size_t>(new_lut->num_packets) * tavo::kPccPacketSize;
      ok = target ? SameBytes(new_lut->packets, new_size,
                              reinterpret_cast<const uint8_t *>(payload.data()),
                              payload.size())
                  : SameBytes(new_lut->packets, new_size, old_lut->packets,
                              static_cast<size_t>(old_lut->num_packets) *
                                  tavo::kPccPacketSize);
    }
    if (!ok) return Format("the LUT in slot %d reads otherwise", position);
  }
  return "";
}

}  // namespace

std::string EditedCopy::Keep(std::string *bytes) {
  if (folder_.path().empty()) {
    return "no private copy can be made: " + folder_.problem();
  }
  std::string path = folder_.path() + "/edited.xml";
  FILE *out = path.size() < static_cast<size_t>(tavo::kPathSize)
                  ? fopen(path.c_str(), "wb")
                  : nullptr;
  if (out == nullptr) {
    return "no private copy can be made in " + folder_.path();
  }
  bool written = fwrite(bytes->data(), 1, bytes->size(), out) == bytes->size();
  if (fclose(out) != 0 || !written) {
    return "the private copy in " + folder_.path() + " cannot be written";
  }
  std::string().swap(*bytes);
  path_ = path;
  return "";
}

std::string EditedCopy::ReadBack(const CalibFile &before,
                                 const PayloadSelection &selection,
                                 const std::string &payload,
                                 const Splice &splice) const {
  std::unique_ptr<CalibFile> after = ReadCalibFile(path_);
  if (after->modes == nullptr) return "the tool fails on it: " + after->problem;
  std::string problem =
      CompareModes(before, *after, selection, payload, splice);
  if (!problem.empty()) return problem;
  return CompareLuts(before, *after, selection, payload);
}

std::string EditedCopy::WriteTo(const std::string &target) const {
  const std::string &path = path_;
  return WriteOutput(target, [&path](FILE *file) {
    FILE *copy = fopen(path.c_str(), "rb");
    if (copy == nullptr) return false;
    std::vector<char> buffer(1 << 20);
    size_t got;
    bool written = true;
    while (written &&
           (got = fread(buffer.data(), 1, buffer.size(), copy)) > 0) {
      written = fwrite(buffer.data(), 1, got, file) == got;
    }
    bool read = ferror(copy) == 0;
    fclose(copy);
    return written && read;
  });
}

}  // namespace inspect
