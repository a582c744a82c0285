// Writing a LUT set into the open document's LUT section.
#include <stdlib.h>

#include "calib_db/db_log.h"
#include "calib_db/lut_format.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace lf = lut_format;

namespace {

// Deletes the first "Luts" element of |root|. Only elements count: a
// comment or text reading "Luts" deleted in its place would leave the old
// section in front of the new one, and readers would take the old one.
void DeleteFirstLutsNode(tinyxml2::XMLElement *root) {
  tinyxml2::XMLElement *section = root->FirstChildElement(lf::kLuts);
  if (section != nullptr) root->DeleteChild(section);
}

// Removes the first child element of |section| whose "Type" equals |type|
// and counts it out of "NumLuts". Children without "Type" never match, and
// a section without "NumLuts" keeps none.
void RemoveLutOfType(tinyxml2::XMLElement *section, int type) {
  for (tinyxml2::XMLElement *child = section->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    const char *type_text = child->Attribute(lf::kType, nullptr);
    if (type_text == nullptr || atoi(type_text) != type) continue;
    section->DeleteChild(child);
    const char *count_text = section->Attribute(lf::kNumLuts, nullptr);
    if (count_text != nullptr) {
      section->SetAttribute(lf::kNumLuts, atoi(count_text) - 1);
    }
    return;
  }
}

}  // namespace

int XmlDatabaseTest::AddLuts(DispLuts *luts) {
  if (!IsOpen("AddLuts")) return kFailure;
  if (luts == nullptr) return kFailure;
  DeleteFirstLutsNode(root_node_);
  tinyxml2::XMLElement *section = xml_doc_->NewElement(lf::kLuts);
  root_node_->InsertEndChild(section);
  section->SetAttribute(lf::kNumLuts, static_cast<int>(luts->num_luts));

  // Only slot 0 is written, as the PCC LUT; the reader fills slots with PCC
  // wrappers only.
  auto *pcc = static_cast<DispLut<PccLut> *>(luts->lut_slots[0]);
  if (pcc != nullptr && AddLutInNode(section, pcc) != 0) {
    DB_LOGE("AddLuts", "Failed to add LUT (%d), idx (%d)", pcc->type, 0);
    return kFailure;
  }
  for (int slot = 1; slot < kMaxLuts; ++slot) {
    if (luts->lut_slots[slot] != nullptr) {
      DB_LOGI("AddLuts", "Lut (%d) exisitng, but not supported.", slot);
    }
  }
  return 0;
}

template <>
int XmlDatabaseTest::AddLutInNode<PccLut>(tinyxml2::XMLElement *luts_element,
                                          DispLut<PccLut> *lut) {
  if (luts_element == nullptr || lut == nullptr) {
    DB_LOGE("AddLutInNode", "Invalid input.");
    return kFailure;
  }
  RemoveLutOfType(luts_element, lut->type);
  tinyxml2::XMLElement *lut_element = xml_doc_->NewElement(lf::kLut);
  luts_element->InsertEndChild(lut_element);
  lut_element->SetAttribute(lf::kType, lut->type);
  // A PCC wrapper without its LUT carries no data, like a LUT without
  // packets.
  if (lut->type != lf::kPccType || lut->lut == nullptr) {
    DB_LOGI("AddLutInNode", "No data packet in the LUT (%d).", lut->type);
    return 0;
  }

  const PccLut *pcc = lut->lut;
  uint32_t size = pcc->num_packets * kPccPacketSize;
  lut_element->SetAttribute(lf::kNumPackets, pcc->num_packets);
  DB_LOGI("AddLutInNode",
          "Adding Generic PCC Lut. num_packets:%d, lut_size:%d",
          pcc->num_packets, size);
  if (pcc->packets == nullptr) {
    DB_LOGI("AddLutInNode", "No data packet in the LUT (%d).", lut->type);
    return 0;
  }
  tinyxml2::XMLText *text = ConvertUINT8ArrayToCharArray(pcc->packets, size);
  if (text == nullptr) {
    DB_LOGE("AddLutInNode",
            "Failed to convert uint8 payload to char payload to write in "
            "XML.");
    return kFailure;
  }
  lut_element->InsertEndChild(text);
  DB_LOGI("AddLutInNode", "Added to LUT packets in the file.");
  return 0;
}

}  // namespace tavo
