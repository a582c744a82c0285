// Reading the open document's mode section into a new mode list.
#include <stdlib.h>
#include <string.h>

#include "calib_db/db_log.h"
#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace mf = mode_format;

namespace {

// Each Read* leaves |field| as it was when the attribute is absent.
void ReadInt(const tinyxml2::XMLElement *element, const char *name,
             int32_t *field) {
  const char *text = element->Attribute(name, nullptr);
  if (text != nullptr) *field = atoi(text);
}

void ReadUnsigned(const tinyxml2::XMLElement *element, const char *name,
                  uint32_t *field) {
  const char *text = element->Attribute(name, nullptr);
  if (text != nullptr) *field = static_cast<uint32_t>(atoi(text));
}

void ReadFlag(const tinyxml2::XMLElement *element, const char *name,
              bool *field) {
  const char *text = element->Attribute(name, nullptr);
  if (text != nullptr) *field = atoi(text) != 0;
}

void ReadText(const tinyxml2::XMLElement *element, const char *name,
              char (&field)[kNameSize]) {
  const char *text = element->Attribute(name, nullptr);
  if (text == nullptr) return;
  if (strlcpy(field, text, sizeof(field)) >= sizeof(field)) {
    // Cut, like the writer, before a character that the cut would split.
    field[mf::WholeCharacterLength(text, sizeof(field) - 1)] = '\0';
  }
}

}  // namespace

DispModes *XmlDatabaseTest::ReadModes() {
  if (!IsOpen("ReadModes")) return nullptr;
  const tinyxml2::XMLElement *section =
      root_node_->FirstChildElement(mf::kDispModes);
  if (section == nullptr) return nullptr;

  int num_modes = mf::AttributeOrZero(section, mf::kNumModes);
  int default_mode = mf::AttributeOrZero(section, mf::kDefaultMode);
  DB_LOGI("ReadModes", "num_modes(%d), default_mode(%d) is successfully read",
          num_modes, default_mode);
  ModeType type =
      file_type_ == kFileTypeAppMode ? kModeTypeApp : kModeTypeStandard;
  DispModes *list = DispModes::Init(type, default_mode, num_modes);
  if (list == nullptr) {
    DB_LOGE("ReadModes", "modes_list allocation failed");
    return nullptr;
  }

  const tinyxml2::XMLElement *mode_element =
      section->FirstChildElement(mf::kMode);
  if (mode_element == nullptr || num_modes < 1) return list;
  // The list's count comes from the same attribute, so every index stays
  // within the list.
  for (int i = 0; mode_element != nullptr && i < num_modes; ++i) {
    if (ReadMode(mode_element, i, &list->modes[i]) != 0) {
      delete list;
      return nullptr;
    }
    mode_element = mode_element->NextSiblingElement(mf::kMode);
  }
  return list;
}

int XmlDatabaseTest::ReadMode(const tinyxml2::XMLElement *mode_element,
                              int index, DispMode *mode) {
  mode->mode_id = mf::AttributeOrZero(mode_element, mf::kModeId);
  ReadFlag(mode_element, mf::kIsAppMode, &mode->is_app_mode);
  ReadFlag(mode_element, mf::kIsDefaultMode, &mode->is_default_mode);
  ReadInt(mode_element, mf::kDisplayId, &mode->disp_id);
  ReadUnsigned(mode_element, mf::kNumOfFeatures, &mode->num_features);
  ReadText(mode_element, mf::kName, mode->name);
  ReadText(mode_element, mf::kDynamicRange, mode->dynamic_range);
  ReadText(mode_element, mf::kColorGamut, mode->color_gamut);
  ReadText(mode_element, mf::kPictureQuality, mode->picture_quality);
  ReadInt(mode_element, mf::kRenderIntent, &mode->render_intent);
  ReadFlag(mode_element, mf::kIsMerge, &mode->is_merge);
  DB_LOGI("ReadModes",
          "num_modes[%d] = (%d), mode_name[%d] = (%s) is successfully read",
          index, mode->mode_id, index, mode->name);

  if (mode->num_features >= static_cast<uint32_t>(kMaxFeatures)) {
    DB_LOGE("ReadModes", "Invalid num of features: %d in mode:%d",
            mode->num_features, mode->mode_id);
    return kFailure;
  }
  for (const tinyxml2::XMLElement *feature_element =
           mode_element->FirstChildElement(mf::kFeature);
       feature_element != nullptr;
       feature_element = feature_element->NextSiblingElement(mf::kFeature)) {
    if (ReadFeature(feature_element, mode) != 0) return kFailure;
  }
  return 0;
}

int XmlDatabaseTest::ReadFeature(const tinyxml2::XMLElement *feature_element,
                                 DispMode *mode) {
  int type = mf::AttributeOrZero(feature_element, mf::kFeatureType);
  int size = mf::AttributeOrZero(feature_element, mf::kDataSize);
  bool disable = false;
  const char *disable_text = feature_element->Attribute(mf::kDisable, nullptr);
  if (disable_text != nullptr) {
    tinyxml2::XMLUtil::ToBool(disable_text, &disable);
  }
  if (static_cast<uint32_t>(size) > kMaxPayloadSize ||
      static_cast<uint32_t>(type) >= static_cast<uint32_t>(kMaxFeatures)) {
    DB_LOGE("ReadModes", "Invalid size or type. size:%d, type:%d", size, type);
    return kFailure;
  }
  DispFeature *feature =
      DispFeature::Init(static_cast<unsigned>(type), size, disable);
  if (feature == nullptr) {
    DB_LOGE("ReadModes",
            "Failed to allocate feature object. type:%d, size:%d, disable:%d",
            type, size, disable ? 1 : 0);
    return kFailure;
  }
  ConvertCharArrayToUINT8Array(feature_element->GetText(), feature->payload,
                               static_cast<uint32_t>(size));
  // A later feature of the same type takes the slot.
  delete mode->features[type];
  mode->features[type] = feature;
  return 0;
}

}  // namespace tavo
