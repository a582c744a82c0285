#include "inspect/edit/edited_copy.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/model/compare.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

bool SameBytes(const uint8_t *a, size_t a_size, const uint8_t *b,
               size_t b_size) {
  return a_size == b_size && (a_size == 0 || memcmp(a, b, a_size) == 0);
}

// What a changed mode attribute is, for the message.
std::string FieldName(const AttributeChange &change) {
  if (strcmp(change.name, mf::kName) == 0) return "its Name";
  if (strcmp(change.name, mf::kIsDefaultMode) == 0 ||
      strcmp(change.name, mf::kIsAppMode) == 0 ||
      strcmp(change.name, mf::kIsMerge) == 0) {
    return "a flag";
  }
  return "its classification";
}

// The lowest of |changed| slots, but |target|, and |target| itself when
// |target_ok| is false; -1 when none is wrong.
int64_t FirstWrong(const std::vector<SlotChange> &changed, int64_t target,
                   bool target_ok) {
  int64_t first = target_ok ? -1 : target;
  for (const SlotChange &slot : changed) {
    if (slot.slot != target && (first < 0 || slot.slot < first)) {
      first = slot.slot;
    }
  }
  return first;
}

// The first way in which mode |i| of |after| reads otherwise than that of
// |before|, |change| being what Compare found of it (null: nothing); "".
std::string ModeProblem(const CalibFile &before, const CalibFile &after,
                        uint32_t i, const ModeChange *change,
                        const PayloadSelection &selection,
                        const std::string &payload, const Splice &splice) {
  const tavo::DispMode &old_mode = before.modes->modes[i];
  const tavo::DispMode &new_mode = after.modes->modes[i];
  std::string where =
      Format("mode %d on display %d: ", old_mode.mode_id, old_mode.disp_id);
  bool target =
      !selection.is_lut && static_cast<int>(i) == selection.mode_index;
  for (const AttributeChange &attribute :
       change != nullptr ? change->attributes
                         : std::vector<AttributeChange>()) {
    if (strcmp(attribute.name, mf::kNumOfFeatures) != 0) {
      return where + FieldName(attribute) + " reads otherwise";
    }
  }
  uint32_t features =
      target && splice.added ? splice.num_features : old_mode.num_features;
  if (new_mode.num_features != features) {
    return where + Format("NumOfFeatures (%u, not %u) reads otherwise",
                          new_mode.num_features, features);
  }
  bool target_ok = true;
  if (target) {
    const tavo::DispFeature *old_feature = old_mode.features[selection.type];
    const tavo::DispFeature *got = new_mode.features[selection.type];
    target_ok =
        got != nullptr &&
        got->disable == (old_feature != nullptr && old_feature->disable) &&
        SameBytes(got->payload, got->size,
                  reinterpret_cast<const uint8_t *>(payload.data()),
                  payload.size());
  }
  int64_t wrong = FirstWrong(
      change != nullptr ? change->features : std::vector<SlotChange>(),
      target ? selection.type : -1, target_ok);
  if (wrong < 0) return "";
  return where +
         Format("feature %lld reads otherwise", static_cast<long long>(wrong));
}

std::string ModesProblem(const CalibFile &before, const CalibFile &after,
                         const Differences &differences,
                         const PayloadSelection &selection,
                         const std::string &payload, const Splice &splice) {
  const tavo::DispModes &old_modes = *before.modes;
  const tavo::DispModes &new_modes = *after.modes;
  bool default_changed = false;
  for (const AttributeChange &change : differences.file) {
    default_changed |= strcmp(change.name, mf::kDefaultMode) == 0;
  }
  if (old_modes.num_modes != new_modes.num_modes || default_changed) {
    return "the mode count or default mode reads otherwise";
  }
  // With every mode where it was, Compare pairs mode i with mode i.
  for (uint32_t i = 0; i < old_modes.num_modes; ++i) {
    const tavo::DispMode &old_mode = old_modes.modes[i];
    const tavo::DispMode &new_mode = new_modes.modes[i];
    if (old_mode.mode_id != new_mode.mode_id ||
        old_mode.disp_id != new_mode.disp_id) {
      return Format("mode %d on display %d: its ID reads otherwise",
                    old_mode.mode_id, old_mode.disp_id);
    }
  }
  for (uint32_t i = 0; i < old_modes.num_modes; ++i) {
    const ModeChange *change = nullptr;
    for (const ModeChange &mode : differences.modes) {
      if (mode.mode == &old_modes.modes[i]) change = &mode;
    }
    std::string problem =
        ModeProblem(before, after, i, change, selection, payload, splice);
    if (!problem.empty()) return problem;
  }
  return "";
}

std::string LutsProblem(const CalibFile &before, const CalibFile &after,
                        const Differences &differences,
                        const PayloadSelection &selection,
                        const std::string &payload) {
  for (const AttributeChange &change : differences.file) {
    if (strcmp(change.name, lf::kNumLuts) == 0) {
      return "the LUT section reads otherwise";
    }
  }
  if (before.lut_problem != after.lut_problem) {
    return "the LUT section reads otherwise";
  }
  bool target_ok = true;
  if (selection.is_lut) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(after, selection.position);
    target_ok =
        slot != nullptr && slot->lut != nullptr &&
        SameBytes(
            slot->lut->packets,
            static_cast<size_t>(slot->lut->num_packets) * tavo::kPccPacketSize,
            reinterpret_cast<const uint8_t *>(payload.data()), payload.size());
  }
  int64_t wrong = FirstWrong(
      differences.luts, selection.is_lut ? selection.position : -1, target_ok);
  if (wrong < 0) return "";
  return Format("the LUT in slot %lld reads otherwise",
                static_cast<long long>(wrong));
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
  Differences differences = Compare(before, *after, Selection(), 0);
  std::string problem =
      ModesProblem(before, *after, differences, selection, payload, splice);
  if (!problem.empty()) return problem;
  return LutsProblem(before, *after, differences, selection, payload);
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
