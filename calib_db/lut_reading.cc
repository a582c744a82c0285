// Reading the open document's LUT section into a LUT set owned by the
// database object.
#include <stdlib.h>

#include "calib_db/db_log.h"
#include "calib_db/lut_format.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace lf = lut_format;

DispLuts *XmlDatabaseTest::GetLuts() {
  if (!IsOpen("GetLuts")) return nullptr;
  tinyxml2::XMLElement *section = root_node_->FirstChildElement(lf::kLuts);
  DispLuts *luts = DispLuts::Init();
  if (section != nullptr && luts != nullptr) {
    // Errors inside the section are logged there; the set keeps what was
    // read before them.
    GetLutsFromNode(section, luts);
  }
  delete luts_;
  luts_ = luts;
  return luts_;
}

int XmlDatabaseTest::GetLutsFromNode(tinyxml2::XMLElement *luts_element,
                                     DispLuts *luts) {
  const char *count_text = luts_element->Attribute(lf::kNumLuts, nullptr);
  int num_luts = count_text != nullptr ? atoi(count_text) : 0;
  tinyxml2::XMLElement *lut_element = luts_element->FirstChildElement(lf::kLut);
  uint32_t declared = static_cast<uint32_t>(num_luts);
  if (declared < 1 || declared > lf::kMaxNumLuts) {
    DB_LOGE("GetLutsFromNode", "Invalid num of luts: %d", num_luts);
    return kFailure;
  }
  luts->num_luts = declared;

  for (uint32_t position = 0; lut_element != nullptr;
       ++position, lut_element = lut_element->NextSiblingElement(lf::kLut)) {
    if (position == declared) {
      DB_LOGE("GetLutsFromNode", "More LUTs than expected num: %d", num_luts);
      return kFailure;
    }
    const char *type_text = lut_element->Attribute(lf::kType, nullptr);
    if (type_text == nullptr || atoi(type_text) != lf::kPccType) continue;
    const char *packets_text = lut_element->Attribute(lf::kNumPackets, nullptr);
    if (packets_text == nullptr) continue;
    int num_packets = atoi(packets_text);
    if (static_cast<uint32_t>(num_packets) > kMaxPayloadSize) {
      DB_LOGE("GetLutsFromNode",
              "Unexpectedly high number of PCC LUT packets: %d", num_packets);
      return kFailure;
    }
    DispLut<PccLut> *wrapper = new DispLut<PccLut>();
    wrapper->lut = PccLut::Init(num_packets);
    if (wrapper->lut == nullptr) {
      delete wrapper;
      DB_LOGE("GetLutsFromNode",
              "Failed to create PccLut object. type:%d, num_packets:%d",
              lf::kPccType, num_packets);
      return kFailure;
    }
    wrapper->owns_lut = true;
    // A set has five slots: a PCC LUT beyond them, checked and made like any
    // other, has nowhere to go and is passed over, as LUTs of other kinds
    // are.
    if (position >= static_cast<uint32_t>(kMaxLuts)) {
      delete wrapper;
      continue;
    }
    delete luts->lut_slots[position];
    luts->lut_slots[position] = wrapper;
    if (num_packets != 0) {
      ConvertCharArrayToUINT8Array(
          lut_element->GetText(), wrapper->lut->packets,
          static_cast<uint32_t>(num_packets) * kPccPacketSize);
    }
  }
  return 0;
}

}  // namespace tavo
