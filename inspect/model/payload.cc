#include "inspect/model/payload.h"

#include "calib_db/hex_kernels.h"
#include "inspect/base/text.h"

namespace inspect {

namespace {

// "the file holds a PCC LUT in slot 0 only", "the file holds PCC LUTs in
// slots 0, 1 and 3", "the file holds no PCC LUT": what the tool reads.
std::string SlotsHeld(const CalibFile &file) {
  std::string slots;
  int count = 0;
  int last = -1;
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr || slot->lut == nullptr) continue;
    if (last >= 0) slots += (count > 1 ? ", " : "") + std::to_string(last);
    last = position;
    ++count;
  }
  if (count == 0) return "the file holds no PCC LUT";
  if (count == 1) {
    return Format("the file holds a PCC LUT in slot %d only", last);
  }
  return Format("the file holds PCC LUTs in slots %s and %d", slots.c_str(),
                last);
}

std::string SelectLut(const CalibFile &file, int position,
                      PayloadSelection *selection) {
  selection->is_lut = true;
  selection->position = position;
  selection->what = Format("the PCC LUT in slot %d", position);
  // LutAt indexes the slots unchecked.
  const tavo::DispLut<tavo::PccLut> *slot =
      position < tavo::kMaxLuts ? LutAt(file, position) : nullptr;
  if (slot == nullptr || slot->lut == nullptr) {
    return Format("the tool reads no PCC LUT in slot %d of %s (%s)", position,
                  file.path.c_str(), SlotsHeld(file).c_str());
  }
  selection->bytes = slot->lut->packets;
  selection->size =
      static_cast<size_t>(slot->lut->num_packets) * tavo::kPccPacketSize;
  return "";
}

std::string SelectFeature(const CalibFile &file, const PayloadAddress &address,
                          bool missing_feature_ok,
                          PayloadSelection *selection) {
  std::string mode_name =
      Format("mode %d on display %d", address.mode, address.display);
  selection->type = address.feature;
  selection->what =
      Format("feature %d of %s", address.feature, mode_name.c_str());
  int matches = 0;
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    const tavo::DispMode &mode = file.modes->modes[i];
    if (mode.disp_id != address.display || mode.mode_id != address.mode) {
      continue;
    }
    if (matches++ == 0) selection->mode_index = static_cast<int>(i);
  }
  if (matches == 0) {
    return "the tool reads no " + mode_name + " in " + file.path;
  }
  if (matches > 1) {
    return Format(
        "the tool reads %d modes with ID %d on display %d in %s, "
        "and which one is meant is not clear",
        matches, address.mode, address.display, file.path.c_str());
  }
  if (address.feature >= tavo::kMaxFeatures) {
    return Format("feature types go from 0 to %d, not %d",
                  tavo::kMaxFeatures - 1, address.feature);
  }
  const tavo::DispFeature *feature =
      file.modes->modes[selection->mode_index].features[address.feature];
  if (feature == nullptr) {
    if (missing_feature_ok) return "";
    return Format("the tool reads no feature %d in %s of %s", address.feature,
                  mode_name.c_str(), file.path.c_str());
  }
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

std::string HexText(const uint8_t *bytes, size_t size) {
  std::string text(2 * size, '\0');
  if (size > 0) tavo::hex_kernels::Encode(bytes, size, &text[0]);
  return text;
}

}  // namespace inspect
