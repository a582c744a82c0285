#include "inspect/model/payload.h"

#include <string.h>
#include <tinyxml2.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "calib_db/hex_kernels.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/model/compare.h"

namespace inspect {

namespace {

// "the file holds a PCC LUT in slot 0 only", "the file holds PCC LUTs in
// slots 0, 1 and 3", "the file holds no PCC LUT": what the tool reads.
std::string SlotsHeld(const CalibFile &file) {
  std::vector<int> held;
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    if (LutPayload(file, position).size >= 0) held.push_back(position);
  }
  if (held.empty()) return "the file holds no PCC LUT";
  if (held.size() == 1) {
    return Format("the file holds a PCC LUT in slot %d only", held[0]);
  }
  std::string slots;
  for (size_t i = 0; i + 1 < held.size(); ++i) {
    slots += (i > 0 ? ", " : "") + std::to_string(held[i]);
  }
  return Format("the file holds PCC LUTs in slots %s and %d", slots.c_str(),
                held.back());
}

std::string SelectLut(const CalibFile &file, int position,
                      PayloadSelection *selection) {
  selection->is_lut = true;
  selection->position = position;
  selection->what = Format("the PCC LUT in slot %d", position);
  // LutAt indexes the slots unchecked.
  Payload held =
      position < tavo::kMaxLuts ? LutPayload(file, position) : Payload();
  if (held.size < 0) {
    return Format("the tool reads no PCC LUT in slot %d of %s (%s)", position,
                  file.path.c_str(), SlotsHeld(file).c_str());
  }
  selection->held = true;
  selection->bytes = held.bytes;
  selection->size = static_cast<size_t>(held.size);
  return "";
}

// How many of |file|'s modes a Mode element stands behind: the reader
// fills the rest of NumModes with blank modes. All of them when the
// document is gone.
uint32_t ModesWithElements(const CalibFile &file) {
  const tinyxml2::XMLDocument *doc =
      file.db != nullptr ? file.db->document() : nullptr;
  if (doc == nullptr) return file.modes->num_modes;
  const tinyxml2::XMLElement *mode =
      tinyxml2::XMLConstHandle(doc)
          .FirstChildElement()
          .FirstChildElement(tavo::mode_format::kDispModes)
          .FirstChildElement(tavo::mode_format::kMode)
          .ToElement();
  uint32_t count = 0;
  for (; mode != nullptr && count < file.modes->num_modes; ++count) {
    mode = mode->NextSiblingElement(tavo::mode_format::kMode);
  }
  return count;
}

std::string SelectFeature(const CalibFile &file, const PayloadAddress &address,
                          bool missing_feature_ok,
                          PayloadSelection *selection) {
  std::string mode_name =
      Format("mode %d on display %d", address.mode, address.display);
  selection->type = address.feature;
  selection->what =
      Format("feature %d of %s", address.feature, mode_name.c_str());
  // The modes with the address's display and ID, in |all|, and those that
  // may be meant, in |meant|: those holding its feature (of a type the
  // reader holds) or, when it may be added, those a Mode element stands
  // behind.
  std::vector<int> all;
  std::vector<int> meant;
  uint32_t backed = ModesWithElements(file);
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    const tavo::DispMode &mode = file.modes->modes[i];
    if (mode.disp_id != address.display || mode.mode_id != address.mode) {
      continue;
    }
    all.push_back(static_cast<int>(i));
    bool holds = address.feature < tavo::kMaxFeatures &&
                 mode.features[address.feature] != nullptr;
    if (missing_feature_ok ? i < backed : holds) {
      meant.push_back(static_cast<int>(i));
    }
  }
  if (all.empty()) return "the tool reads no " + mode_name + " in " + file.path;
  if (address.feature >= tavo::kMaxFeatures) {
    return Format("feature types go from 0 to %d, not %d",
                  tavo::kMaxFeatures - 1, address.feature);
  }
  if (meant.size() > 1) {
    std::string which = meant.size() == all.size() ? ""
                        : missing_feature_ok
                            ? " from Mode elements"
                            : Format(" holding feature %d", address.feature);
    return Format(
        "the tool reads %zu modes with ID %d on display %d%s in %s, "
        "and which one is meant is not clear",
        meant.size(), address.mode, address.display, which.c_str(),
        file.path.c_str());
  }
  if (meant.empty() && !missing_feature_ok) {
    return Format("the tool reads no feature %d in %s of %s", address.feature,
                  mode_name.c_str(), file.path.c_str());
  }
  // Where only blank modes match, the first is taken: the splice then says
  // that no Mode element holds it.
  selection->mode_index = meant.empty() ? all[0] : meant[0];
  const tavo::DispMode &mode = file.modes->modes[selection->mode_index];
  selection->num_features = mode.num_features;
  selection->features_held = static_cast<uint32_t>(std::count_if(
      std::begin(mode.features), std::end(mode.features),
      [](const tavo::DispFeature *feature) { return feature != nullptr; }));
  const tavo::DispFeature *feature = mode.features[address.feature];
  if (feature == nullptr) return "";
  selection->held = true;
  selection->bytes = feature->payload;
  selection->size = feature->size;
  return "";
}

}  // namespace

std::string SelectPayload(const CalibFile &file, const PayloadAddress &address,
                          bool missing_feature_ok,
                          PayloadSelection *selection) {
  *selection = PayloadSelection();
  if (address.lut.has_value()) return SelectLut(file, *address.lut, selection);
  return SelectFeature(file, address, missing_feature_ok, selection);
}

bool SameBytes(const uint8_t *a, size_t a_size, const uint8_t *b,
               size_t b_size) {
  return a_size == b_size && (a_size == 0 || memcmp(a, b, a_size) == 0);
}

std::string HexText(const uint8_t *bytes, size_t size) {
  std::string text(2 * size, '\0');
  if (size > 0) tavo::hex_kernels::Encode(bytes, size, &text[0]);
  return text;
}

}  // namespace inspect
