// The LUT section as the reader goes through it, and which of its LUTs the
// writer carries to the output: only a PCC LUT in the first slot.
#include <stdlib.h>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"
#include "inspect/base/text.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace lf = tavo::lut_format;

namespace {

// Checks the LUT the reader finds at |position|. Returns false when the
// reader stops reading the section there.
bool CheckLut(const tinyxml2::XMLElement *lut, uint32_t position,
              const InternalDtd &dtd, Findings *findings) {
  CheckNumber(lut, lf::kType, dtd, findings);
  CheckNumber(lut, lf::kNumPackets, dtd, findings);
  const char *type = lut->Attribute(lf::kType, nullptr);
  int packets = tavo::mode_format::AttributeOrZero(lut, lf::kNumPackets);
  bool stops = false;
  std::string dropped;
  if (type == nullptr) {
    dropped = "Lut without Type: skipped, the output has no Lut for it" +
              DtdDefaultNote(dtd, lut, lf::kType);
  } else if (atoi(type) != lf::kPccType) {
    dropped = Format(
        "Lut of Type %d: only PCC LUTs (Type 0) are read, the output has no "
        "Lut for it",
        atoi(type));
  } else if (lut->Attribute(lf::kNumPackets, nullptr) == nullptr) {
    dropped =
        "PCC Lut without NumPackets: skipped, the output has no Lut for it" +
        DtdDefaultNote(dtd, lut, lf::kNumPackets);
  } else if (static_cast<uint32_t>(packets) > tavo::kMaxPayloadSize) {
    stops = true;
    dropped = Format(
        "NumPackets %d is over %u: reading stops here, no later LUT is "
        "carried",
        packets, tavo::kMaxPayloadSize);
  } else if (position >= static_cast<uint32_t>(tavo::kMaxLuts)) {
    dropped =
        Format("PCC Lut at position %u: a set has %d slots, it is dropped",
               position, tavo::kMaxLuts);
  } else if (position != 0) {
    dropped =
        Format("PCC Lut at position %u: read, but only position 0 is written",
               position);
  } else {
    CheckPayload(lut, static_cast<uint64_t>(packets) * 2 * tavo::kPccPacketSize,
                 Format("NumPackets %d", packets), dtd, findings);
  }
  if (!dropped.empty()) findings->Warn(lut, "lut-not-carried", dropped);
  return !stops;
}

}  // namespace

void CheckLutSection(const tinyxml2::XMLElement *section,
                     const InternalDtd &dtd, Findings *findings) {
  CheckNumber(section, lf::kNumLuts, dtd, findings);
  int num_luts = tavo::mode_format::AttributeOrZero(section, lf::kNumLuts);
  uint32_t declared = static_cast<uint32_t>(num_luts);
  int present = CountChildren(section, lf::kLut);
  if (declared < 1 || declared > lf::kMaxNumLuts) {
    // An empty section that says so loses nothing.
    if (num_luts == 0 && present == 0) return;
    findings->Warn(
        section, "luts-ignored",
        Format("%s, not 1 to %u: the section is ignored, the "
               "output has NumLuts=\"0\" and no Lut",
               Declared(section, lf::kNumLuts, dtd).c_str(), lf::kMaxNumLuts));
    return;
  }
  uint32_t position = 0;
  for (const tinyxml2::XMLElement *lut = section->FirstChildElement(lf::kLut);
       lut != nullptr; lut = lut->NextSiblingElement(lf::kLut), ++position) {
    if (position == declared) {
      findings->Warn(
          lut, "luts-extra",
          Format("%s but the section holds %s: reading stops at this one, "
                 "which is not carried, nor any after it",
                 Declared(section, lf::kNumLuts, dtd).c_str(),
                 Count(present, "Lut element").c_str()));
      return;
    }
    if (!CheckLut(lut, position, dtd, findings)) return;
  }
}

}  // namespace inspect
