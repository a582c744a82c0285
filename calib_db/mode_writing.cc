// Writing display modes into the open document's mode section.
#include <stdlib.h>
#include <string.h>

#include "calib_db/db_log.h"
#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace mf = mode_format;

namespace {

// "NumModes" is only advanced while its text is a plain number that can
// grow by one.
constexpr size_t kMaxCountDigits = 9;
constexpr uint32_t kMaxCountBeforeIncrement = 2147483646u;

// A text field of a record, never read past its 256 bytes: a field without
// a NUL is cut at 255 bytes, or before a character that they would split.
class FieldText {
 public:
  explicit FieldText(const char (&field)[kNameSize]) : text_(field) {
    if (memchr(field, '\0', kNameSize) == nullptr) {
      unsigned length = mf::WholeCharacterLength(field, kNameSize - 1);
      memcpy(copy_, field, length);
      copy_[length] = '\0';
      text_ = copy_;
    }
  }
  const char *get() const { return text_; }

 private:
  const char *text_;
  char copy_[kNameSize];
};

void SetFlag(tinyxml2::XMLElement *element, const char *name, bool value) {
  element->SetAttribute(name, value ? 1 : 0);
}

void SetIfAllowed(tinyxml2::XMLElement *element, const char *name,
                  const char (&field)[kNameSize],
                  bool (*is_allowed)(const char *)) {
  FieldText text(field);
  if (is_allowed(text.get())) element->SetAttribute(name, text.get());
}

}  // namespace

int XmlDatabaseTest::AddModes(DispModes *modes) {
  if (!IsOpen("AddModes")) return kFailure;
  EmptyRoot();
  tinyxml2::XMLElement *section = xml_doc_->NewElement(mf::kDispModes);
  root_node_->InsertEndChild(section);
  section->SetAttribute(mf::kNumModes, 0);
  section->SetAttribute(mf::kDefaultMode, modes->default_mode);
  DB_LOGI("AddModes",
          "Saving modes to XML file: num_modes:%d, default_mode:%d",
          modes->num_modes, modes->default_mode);
  for (uint32_t i = 0; i < modes->num_modes; ++i) {
    if (AddMode(&modes->modes[i]) != 0) {
      DB_LOGE("AddModes", "Failed to add modes: mode_id: %d",
              modes->modes[i].mode_id);
      return kFailure;
    }
  }
  DB_LOGI("AddModes", "Successfully added modes: size:%d", modes->num_modes);
  return 0;
}

int XmlDatabaseTest::AddMode(DispMode *mode) {
  if (!IsOpen("AddMode")) return kFailure;
  tinyxml2::XMLElement *section = root_node_->FirstChildElement(mf::kDispModes);
  if (section != nullptr) {
    const char *count_text = section->Attribute(mf::kNumModes, nullptr);
    if (count_text == nullptr) {
      DB_LOGE("AddMode", "Invalid NumModes");
      return kFailure;
    }
    uint32_t count = static_cast<uint32_t>(atoi(count_text));
    if (strlen(count_text) <= kMaxCountDigits &&
        count <= kMaxCountBeforeIncrement) {
      section->SetAttribute(mf::kNumModes, static_cast<int>(count + 1));
    }
    if (mode->is_default_mode) {
      section->SetAttribute(mf::kDefaultMode, mode->mode_id);
    }
  } else {
    section = xml_doc_->NewElement(mf::kDispModes);
    root_node_->InsertEndChild(section);
    section->SetAttribute(mf::kNumModes, 1);
    section->SetAttribute(mf::kDefaultMode,
                          mode->is_default_mode ? mode->mode_id : -1);
  }

  tinyxml2::XMLElement *mode_element = xml_doc_->NewElement(mf::kMode);
  section->InsertEndChild(mode_element);
  WriteModeAttributes(mode_element, mode);
  DB_LOGI("AddMode",
          "Adding Mode: mode_id:%d, disp_id:%d, default_mode_id:%d, "
          "file_type_:%d, name:%s, num_features:%d",
          mode->mode_id, mode->disp_id, mode->is_default_mode ? 1 : 0,
          file_type_, FieldText(mode->name).get(), mode->num_features);

  for (int slot = 0; slot < kMaxFeatures; ++slot) {
    DispFeature *feature = mode->features[slot];
    if (feature == nullptr) continue;
    tinyxml2::XMLElement *feature_element = xml_doc_->NewElement(mf::kFeature);
    mode_element->InsertEndChild(feature_element);
    feature_element->SetAttribute(mf::kFeatureType, feature->type);
    feature_element->SetAttribute(mf::kDisable, feature->disable);
    feature_element->SetAttribute(mf::kDataSize, feature->size);
    if (feature->size == 0 || feature->payload == nullptr) {
      DB_LOGE("AddMode", "No valid data in the feature.");
      continue;
    }
    if (feature->size > kMaxPayloadSize) {
      DB_LOGE("AddMode", "Size of feature payload is unexpectedly big: %d",
              feature->size);
      return kFailure;
    }
    tinyxml2::XMLText *text =
        ConvertUINT8ArrayToCharArray(feature->payload, feature->size);
    if (text == nullptr) {
      DB_LOGE("AddMode",
              "Failed to convert uint8 payload to char payload to write in "
              "XML.");
      return kFailure;
    }
    feature_element->InsertEndChild(text);
  }
  DB_LOGI("AddMode", "Mode (%d) added succesfully.", mode->mode_id);
  return 0;
}

// Sets the attributes of a "Mode" element in their file order.
void XmlDatabaseTest::WriteModeAttributes(tinyxml2::XMLElement *mode_element,
                                          const DispMode *mode) {
  mode_element->SetAttribute(mf::kModeId, mode->mode_id);
  mode_element->SetAttribute(mf::kDisplayId, mode->disp_id);
  SetFlag(mode_element, mf::kIsDefaultMode, mode->is_default_mode);
  SetFlag(mode_element, mf::kIsAppMode, file_type_ == kFileTypeAppMode);
  mode_element->SetAttribute(mf::kName, FieldText(mode->name).get());
  mode_element->SetAttribute(mf::kNumOfFeatures, mode->num_features);
  mode_element->SetAttribute(mf::kWhitePoint, mode->white_point);
  mode_element->SetAttribute(mf::kEValue, mode->e_value);
  mode_element->SetAttribute(mf::kBValue, mode->b_value);
  mode_element->SetAttribute(mf::kRValue, mode->r_value);
  SetIfAllowed(mode_element, mf::kDynamicRange, mode->dynamic_range,
               mf::IsAllowedDynamicRange);
  SetIfAllowed(mode_element, mf::kColorGamut, mode->color_gamut,
               mf::IsAllowedColorGamut);
  SetIfAllowed(mode_element, mf::kPictureQuality, mode->picture_quality,
               mf::IsAllowedPictureQuality);
  mode_element->SetAttribute(mf::kRenderIntent, mode->render_intent);
  SetFlag(mode_element, mf::kIsMerge, mode->is_merge);
}

}  // namespace tavo
