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

// Whether |side| is there and holds the bytes of |payload|.
bool Holds(const Payload &side, const std::string &payload) {
  return side.size >= 0 &&
         SameBytes(side.bytes, static_cast<size_t>(side.size),
                   reinterpret_cast<const uint8_t *>(payload.data()),
                   payload.size());
}

// Whether the file's value |name| reads otherwise.
bool FileValueChanged(const Differences &differences, const char *name) {
  for (const AttributeChange &change : differences.file) {
    if (strcmp(change.name, name) == 0) return true;
  }
  return false;
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
  // First any difference in the modes but the one the edit meant.
  if (before.modes->num_modes != after->modes->num_modes ||
      FileValueChanged(differences, mf::kDefaultMode)) {
    return "the mode count or default mode reads otherwise";
  }
  const tavo::DispMode *target =
      selection.is_lut ? nullptr : &before.modes->modes[selection.mode_index];
  auto where_in = [](const tavo::DispMode *mode) {
    return Format("mode %d on display %d: ", mode->mode_id, mode->disp_id);
  };
  for (const ModeChange &mode : differences.modes) {
    std::string where = where_in(mode.mode);
    if (strcmp(mode.change, "changed") != 0) {
      return where + "its ID reads otherwise";
    }
    for (const AttributeChange &attribute : mode.attributes) {
      if (mode.mode != target || strcmp(attribute.name, mf::kNumOfFeatures)) {
        return where + attribute.name + " reads otherwise";
      }
    }
    for (const SlotChange &feature : mode.features) {
      if (mode.mode != target || feature.slot != selection.type) {
        return where + Format("feature %lld reads otherwise",
                              static_cast<long long>(feature.slot));
      }
    }
  }
  // Then a target mode that does not read as the edit meant: its feature
  // holds the payload with its Disable as before, and its NumOfFeatures is
  // the splice's where a feature was added.
  if (target != nullptr) {
    std::string where = where_in(target);
    const tavo::DispMode &new_mode = after->modes->modes[selection.mode_index];
    uint32_t features =
        splice.added ? splice.num_features : target->num_features;
    if (new_mode.num_features != features) {
      return where + Format("NumOfFeatures (%u, not %u) reads otherwise",
                            new_mode.num_features, features);
    }
    const tavo::DispFeature *old_feature = target->features[selection.type];
    const tavo::DispFeature *got = new_mode.features[selection.type];
    if (!Holds(FeaturePayload(got), payload) ||
        got->disable != (old_feature != nullptr && old_feature->disable)) {
      return where + Format("feature %d reads otherwise", selection.type);
    }
  }
  // Then the same of the LUTs.
  if (before.lut_problem != after->lut_problem ||
      FileValueChanged(differences, lf::kNumLuts)) {
    return "the LUT section reads otherwise";
  }
  for (const SlotChange &lut : differences.luts) {
    if (!selection.is_lut || lut.slot != selection.position) {
      return Format("the LUT in slot %lld reads otherwise",
                    static_cast<long long>(lut.slot));
    }
  }
  if (selection.is_lut &&
      !Holds(LutPayload(*after, selection.position), payload)) {
    return Format("the LUT in slot %d reads otherwise", selection.position);
  }
  return "";
}

std::string EditedCopy::WriteTo(const std::string &target) const {
  return WriteOutput(target, [this](FILE *file) {
    FILE *copy = fopen(path_.c_str(), "rb");
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
