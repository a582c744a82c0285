// The mode section as the reader goes through it: the modes it reads, the
// features of each, and what the writer then keeps of them.
#include <string.h>

#include <string>
#include <vector>

#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"
#include "inspect/sections.h"
#include "inspect/text.h"

namespace inspect {

namespace mf = tavo::mode_format;

namespace {

constexpr const char *kModeNumbers[] = {mf::kModeId, mf::kDisplayId,
                                        mf::kNumOfFeatures, mf::kRenderIntent};
constexpr const char *kModeFlags[] = {mf::kIsDefaultMode, mf::kIsAppMode,
                                      mf::kIsMerge};

struct Classification {
  const char *name;
  bool (*is_allowed)(const char *);
};
constexpr Classification kClassifications[] = {
    {mf::kDynamicRange, mf::IsAllowedDynamicRange},
    {mf::kColorGamut, mf::IsAllowedColorGamut},
    {mf::kPictureQuality, mf::IsAllowedPictureQuality}};

// The text the reader keeps of a text field: at most 255 bytes, cut before
// a character the cut would split.
std::string KeptText(const char *text) {
  size_t length = strlen(text);
  if (length < static_cast<size_t>(tavo::kNameSize)) return text;
  return std::string(text, mf::WholeCharacterLength(text, tavo::kNameSize - 1));
}

void CheckTexts(const tinyxml2::XMLElement *mode, Findings *findings) {
  for (const char *name :
       {mf::kName, mf::kDynamicRange, mf::kColorGamut, mf::kPictureQuality}) {
    const char *text = mode->Attribute(name, nullptr);
    if (text == nullptr ||
        strlen(text) < static_cast<size_t>(tavo::kNameSize)) {
      continue;
    }
    findings->Warn(mode, "text-cut",
                   Format("%s is %zu bytes: only the first %zu are kept", name,
                          strlen(text), KeptText(text).size()));
  }
  for (const Classification &field : kClassifications) {
    const char *text = mode->Attribute(field.name, nullptr);
    if (text == nullptr || field.is_allowed(KeptText(text).c_str())) continue;
    findings->Warn(mode, "classification-dropped",
                   Format("%s=%s is not an allowed value: it is left out "
                          "of the output",
                          field.name, Quote(KeptText(text)).c_str()));
  }
}

// Checks one feature; |first_lines| holds, per type, the line of the
// feature that filled the slot so far. Returns the feature's line when the
// reader refuses it, else 0.
int CheckFeature(const tinyxml2::XMLElement *feature, int *first_lines,
                 Findings *findings) {
  CheckNumber(feature, mf::kFeatureType, findings);
  CheckNumber(feature, mf::kDataSize, findings);
  const char *disable = feature->Attribute(mf::kDisable, nullptr);
  bool unused;
  if (disable != nullptr && !tinyxml2::XMLUtil::ToBool(disable, &unused)) {
    findings->Warn(feature, "disable-unparsed",
                   Format("Disable=%s is not true, false or a number: read "
                          "as false",
                          Quote(disable).c_str()));
  }
  int type = NumberOrZero(feature, mf::kFeatureType);
  int size = NumberOrZero(feature, mf::kDataSize);
  if (static_cast<uint32_t>(size) > tavo::kMaxPayloadSize ||
      static_cast<uint32_t>(type) >=
          static_cast<uint32_t>(tavo::kMaxFeatures)) {
    return feature->GetLineNum();
  }
  if (first_lines[type] != 0) {
    findings->Warn(feature, "duplicate-feature-type",
                   Format("FeatureType %d again (first on line %d): this one "
                          "replaces it",
                          type, first_lines[type]));
  } else {
    first_lines[type] = feature->GetLineNum();
  }
  CheckPayload(feature, 2 * static_cast<uint64_t>(size),
               Format("DataSize %d", size), findings);
  return 0;
}

// Checks one mode the reader reads. Returns the line of the first element
// of it the reader refuses, else 0.
int CheckMode(const tinyxml2::XMLElement *mode, Findings *findings) {
  for (const char *name : kModeNumbers) CheckNumber(mode, name, findings);
  for (const char *name : kModeFlags) CheckNumber(mode, name, findings, true);
  CheckTexts(mode, findings);
  uint32_t declared =
      static_cast<uint32_t>(NumberOrZero(mode, mf::kNumOfFeatures));
  int refused = declared >= static_cast<uint32_t>(tavo::kMaxFeatures)
                    ? mode->GetLineNum()
                    : 0;
  int first_lines[tavo::kMaxFeatures] = {};
  for (const tinyxml2::XMLElement *feature =
           mode->FirstChildElement(mf::kFeature);
       feature != nullptr;
       feature = feature->NextSiblingElement(mf::kFeature)) {
    int line = CheckFeature(feature, first_lines, findings);
    if (refused == 0) refused = line;
  }
  uint32_t held = 0;
  for (int line : first_lines) held += line != 0 ? 1 : 0;
  if (refused == 0 && held != declared) {
    findings->Warn(mode, "num-features-mismatch",
                   Format("NumOfFeatures is %u but the mode holds %s: %u "
                          "is carried as the count",
                          declared, Count(held, "feature").c_str(), declared));
  }
  return refused;
}

void CheckModeCount(const tinyxml2::XMLElement *section, Findings *findings) {
  int declared = NumberOrZero(section, mf::kNumModes);
  int present = CountChildren(section, mf::kMode);
  if (declared == present) return;
  std::string consequence =
      declared <= 0 ? std::string("no mode is read")
      : declared > present
          ? Format("%d blank %s read and written after them",
                   declared - present,
                   declared - present == 1 ? "mode is" : "modes are")
          : Format("only the first %d %s read", declared,
                   declared == 1 ? "is" : "are");
  findings->Warn(
      section, "num-modes-mismatch",
      Format("NumModes is %d but the section holds %s: %s", declared,
             Count(present, "Mode element").c_str(), consequence.c_str()));
}

void CheckDefaultMode(const tinyxml2::XMLElement *section,
                      const tavo::DispModes &modes, Findings *findings) {
  std::vector<int> flagged;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    if (modes.modes[i].is_default_mode)
      flagged.push_back(modes.modes[i].mode_id);
  }
  if (modes.num_modes == 0 ||
      (flagged.size() == 1 && flagged[0] == modes.default_mode)) {
    return;
  }
  std::string message = Format("DefaultMode is %d but ", modes.default_mode);
  if (flagged.empty()) {
    message += Format(
        "no mode is flagged IsDefaultMode: the output says %d "
        "and flags none",
        modes.default_mode);
  } else if (flagged.size() == 1) {
    message += Format("mode %d is flagged IsDefaultMode: the output says %d",
                      flagged[0], flagged[0]);
  } else {
    std::string ids;
    for (int id : flagged)
      ids += (ids.empty() ? "" : ", ") + std::to_string(id);
    message += Format(
        "modes %s are flagged IsDefaultMode: the output "
        "says %d, the last",
        ids.c_str(), flagged.back());
  }
  findings->Warn(section, "default-mode-mismatch", message);
}

}  // namespace

int CheckModeSection(const tinyxml2::XMLElement *section,
                     const tavo::DispModes *modes, Findings *findings) {
  CheckNumber(section, mf::kNumModes, findings);
  CheckNumber(section, mf::kDefaultMode, findings);
  CheckModeCount(section, findings);
  int declared = NumberOrZero(section, mf::kNumModes);
  int refused = 0;
  int index = 0;
  for (const tinyxml2::XMLElement *mode = section->FirstChildElement(mf::kMode);
       mode != nullptr && index < declared;
       mode = mode->NextSiblingElement(mf::kMode), ++index) {
    int line = CheckMode(mode, findings);
    if (refused == 0) refused = line;
  }
  if (modes != nullptr) CheckDefaultMode(section, *modes, findings);
  return refused;
}

}  // namespace inspect
