// The mode section as the reader goes through it: the modes it reads, the
// features of each, and what the writer then keeps of them.
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"
#include "inspect/base/text.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace mf = tavo::mode_format;

namespace {

// The numbers of a mode, each with whether it is a flag. IsAppMode is not
// among them: the writer does not take it from the mode.
constexpr std::pair<const char *, bool> kModeNumbers[] = {
    {mf::kModeId, false},        {mf::kDisplayId, false},
    {mf::kNumOfFeatures, false}, {mf::kRenderIntent, false},
    {mf::kIsDefaultMode, true},  {mf::kIsMerge, true}};

// The text fields of a mode, each with the test of its allowed values, if
// it has one.
constexpr std::pair<const char *, bool (*)(const char *)> kTexts[] = {
    {mf::kName, nullptr},
    {mf::kDynamicRange, mf::IsAllowedDynamicRange},
    {mf::kColorGamut, mf::IsAllowedColorGamut},
    {mf::kPictureQuality, mf::IsAllowedPictureQuality}};

// The text the reader keeps of a text field: at most 255 bytes, cut before
// a character the cut would split.
std::string KeptText(const char *text) {
  if (strlen(text) < static_cast<size_t>(tavo::kNameSize)) return text;
  return std::string(text, mf::WholeCharacterLength(text, tavo::kNameSize - 1));
}

void CheckTexts(const tinyxml2::XMLElement *mode, Findings *findings) {
  for (auto [name, is_allowed] : kTexts) {
    const char *text = mode->Attribute(name, nullptr);
    if (text == nullptr || KeptText(text).size() == strlen(text)) continue;
    findings->Warn(mode, "text-cut",
                   Format("%s is %zu bytes: only the first %zu are kept", name,
                          strlen(text), KeptText(text).size()));
  }
  for (auto [name, is_allowed] : kTexts) {
    if (is_allowed == nullptr) continue;  // any Name is kept
    const char *text = mode->Attribute(name, nullptr);
    if (text == nullptr || is_allowed(KeptText(text).c_str())) continue;
    findings->Warn(mode, "classification-dropped",
                   Format("%s=%s is not an allowed value: it is left out "
                          "of the output",
                          name, Quote(KeptText(text)).c_str()));
  }
}

// Disable is written as a word, whatever form it was read in.
void CheckDisable(const tinyxml2::XMLElement *feature, const InternalDtd &dtd,
                  Findings *findings) {
  const char *disable = feature->Attribute(mf::kDisable, nullptr);
  if (disable == nullptr) return;
  bool value = false;
  std::string entity = DeclaredEntityReading(dtd, findings->LineOf(feature),
                                             mf::kDisable, disable);
  if (!entity.empty()) {
    findings->Warn(feature, "disable-unparsed",
                   entity + " as false and writes Disable=\"false\"");
  } else if (!tinyxml2::XMLUtil::ToBool(disable, &value)) {
    findings->Warn(feature, "disable-unparsed",
                   Format("Disable=%s is not true, false or a number: read "
                          "as false, written \"false\"",
                          Quote(disable).c_str()));
  } else if (const char *word = value ? "true" : "false";
             strcmp(disable, word) != 0) {
    findings->Warn(feature, "disable-form",
                   Format("Disable=%s is read as %s: written \"%s\"",
                          Quote(disable).c_str(), word, word));
  }
}

// What the mode's attributes that the writer does not take from the file
// come out as: |mode| is the record read, null when the file is refused.
void CheckNotCarried(const tinyxml2::XMLElement *element,
                     const tavo::DispMode *mode, Findings *findings) {
  const std::pair<const char *, std::string> unread[] = {
      {mf::kWhitePoint, mode ? std::to_string(mode->white_point) : "0"},
      {mf::kEValue, mode ? std::to_string(mode->e_value) : "0"},
      {mf::kBValue, mode ? std::to_string(mode->b_value) : "0"},
      {mf::kRValue, mode ? std::to_string(mode->r_value) : "0"},
  };
  for (const auto &[name, written] : unread) {
    const char *text = element->Attribute(name, nullptr);
    if (text == nullptr || written == text) continue;
    std::string message =
        Format("%s=%s is not read", name, Quote(text).c_str());
    if (mode != nullptr) {
      message +=
          Format(": the output has %s=\"%s\", the colour library's value", name,
                 written.c_str());
    }
    findings->Warn(element, "attribute-not-carried", message);
  }
  const char *app = element->Attribute(mf::kIsAppMode, nullptr);
  if (app != nullptr && strcmp(app, "0") != 0) {
    findings->Warn(element, "attribute-not-carried",
                   Format("IsAppMode=%s is not carried: the tool writes "
                          "IsAppMode=\"0\" into every mode of its output",
                          Quote(app).c_str()));
  }
}

// Warns with "identity-missing" when |element| lacks |name|, and not only
// by a misspelling that unknown-name reports: |name| but for case or for
// white space no one sees (WithoutUnicodeSpaces). |message| says what is
// read.
void CheckPresent(const tinyxml2::XMLElement *element, const char *name,
                  const std::string &message, const InternalDtd &dtd,
                  Findings *findings) {
  if (element->Attribute(name, nullptr) != nullptr) return;
  for (const tinyxml2::XMLAttribute *attribute = element->FirstAttribute();
       attribute != nullptr; attribute = attribute->Next()) {
    std::string spaces;
    if (strcasecmp(WithoutUnicodeSpaces(attribute->Name(), &spaces).c_str(),
                   name) == 0) {
      return;
    }
  }
  findings->Warn(element, "identity-missing",
                 message + DtdDefaultNote(dtd, element, name));
}

// The type the reader reads |feature| as, or -1 when it refuses the
// feature.
int ReadType(const tinyxml2::XMLElement *feature) {
  int type = mf::AttributeOrZero(feature, mf::kFeatureType);
  int size = mf::AttributeOrZero(feature, mf::kDataSize);
  if (static_cast<uint32_t>(size) > tavo::kMaxPayloadSize ||
      static_cast<uint32_t>(type) >=
          static_cast<uint32_t>(tavo::kMaxFeatures)) {
    return -1;
  }
  return type;
}

// Checks one feature; |first_lines| holds, per type, the line of the
// feature that filled the slot so far, and |last| the feature that fills
// it in the end. Returns the feature's line when the reader refuses it,
// else 0.
int CheckFeature(const tinyxml2::XMLElement *feature, int *first_lines,
                 const tinyxml2::XMLElement *const *last,
                 const InternalDtd &dtd, Findings *findings) {
  CheckNumber(feature, mf::kFeatureType, dtd, findings);
  CheckNumber(feature, mf::kDataSize, dtd, findings);
  CheckDisable(feature, dtd, findings);
  CheckPresent(feature, mf::kFeatureType,
               "Feature has no FeatureType: it is read as type 0, into slot 0",
               dtd, findings);
  int type = ReadType(feature);
  if (type < 0) return findings->LineOf(feature);
  int size = mf::AttributeOrZero(feature, mf::kDataSize);
  if (first_lines[type] != 0) {
    findings->Warn(feature, "duplicate-feature-type",
                   Format("FeatureType %d again (first on line %d): this one "
                          "replaces it",
                          type, first_lines[type]));
  } else {
    first_lines[type] = findings->LineOf(feature);
  }
  // A feature a later one replaces is never written: what its payload
  // holds changes nothing in the output, and the later one says so.
  if (last[type] != feature) return 0;
  CheckPayload(feature, 2 * static_cast<uint64_t>(size),
               feature->Attribute(mf::kDataSize, nullptr) != nullptr
                   ? Format("DataSize %d", size)
                   : Absent(feature, mf::kDataSize, dtd),
               dtd, findings);
  return 0;
}

// Checks one mode the reader reads; |record| is what it read, null when it
// refused the file. Returns the line of the first element of it the
// reader refuses, else 0.
int CheckMode(const tinyxml2::XMLElement *mode, const tavo::DispMode *record,
              const InternalDtd &dtd, Findings *findings) {
  for (auto [name, flag] : kModeNumbers) {
    CheckNumber(mode, name, dtd, findings, flag);
  }
  CheckNotCarried(mode, record, findings);
  CheckPresent(mode, mf::kModeId, "Mode has no ModeID: it is read as mode 0",
               dtd, findings);
  CheckPresent(mode, mf::kDisplayId,
               "Mode has no DisplayID: it keeps the colour library's initial "
               "value" +
                   (record != nullptr ? Format(", display %d", record->disp_id)
                                      : std::string()),
               dtd, findings);
  CheckPresent(mode, mf::kName,
               "Mode has no Name: it is read as an empty name, and the tool "
               "writes Name=\"\"",
               dtd, findings);
  CheckTexts(mode, findings);
  uint32_t declared =
      static_cast<uint32_t>(mf::AttributeOrZero(mode, mf::kNumOfFeatures));
  int refused = declared >= static_cast<uint32_t>(tavo::kMaxFeatures)
                    ? findings->LineOf(mode)
                    : 0;
  int first_lines[tavo::kMaxFeatures] = {};
  const tinyxml2::XMLElement *last[tavo::kMaxFeatures] = {};
  std::vector<const tinyxml2::XMLElement *> features;
  for (const tinyxml2::XMLElement *feature =
           mode->FirstChildElement(mf::kFeature);
       feature != nullptr;
       feature = feature->NextSiblingElement(mf::kFeature)) {
    features.push_back(feature);
    int type = ReadType(feature);
    if (type >= 0) last[type] = feature;
  }
  for (const tinyxml2::XMLElement *feature : features) {
    int line = CheckFeature(feature, first_lines, last, dtd, findings);
    if (refused == 0) refused = line;
  }
  uint32_t held =
      tavo::kMaxFeatures - std::count(first_lines, std::end(first_lines), 0);
  if (refused == 0 && held != declared) {
    std::string written =
        record != nullptr ? std::to_string(record->num_features) : "";
    if (mode->Attribute(mf::kNumOfFeatures, nullptr) == nullptr) {
      written += " (the colour library's initial value)";
    }
    findings->Warn(mode, "num-features-mismatch",
                   Format("%s but the mode holds %s: written as %s, unless "
                          "combining changes it",
                          Declared(mode, mf::kNumOfFeatures, dtd).c_str(),
                          Count(held, "feature").c_str(), written.c_str()));
  }
  return refused;
}

void CheckModeCount(const tinyxml2::XMLElement *section, const InternalDtd &dtd,
                    Findings *findings) {
  int declared = mf::AttributeOrZero(section, mf::kNumModes);
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
      Format("%s but the section holds %s: %s",
             Declared(section, mf::kNumModes, dtd).c_str(),
             Count(present, "Mode element").c_str(), consequence.c_str()));
}

constexpr char kApart[] = ", and extract and inject cannot tell them apart";

// Reports the modes the reader reads with the display and mode ID of an
// earlier one: |elements| are the Mode elements it read, in order, and
// the blank modes it reads after them, which have no element, get one
// finding for each such ID, on |section|'s line.
void CheckDuplicateModes(
    const tinyxml2::XMLElement *section, const tavo::DispModes &modes,
    const std::vector<const tinyxml2::XMLElement *> &elements,
    Findings *findings) {
  uint32_t read = std::min<uint32_t>(elements.size(), modes.num_modes);
  const tavo::DispMode *all = modes.modes;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    const tavo::DispMode &mode = all[i];
    auto same = [&](const tavo::DispMode &other) {
      return other.disp_id == mode.disp_id && other.mode_id == mode.mode_id;
    };
    uint32_t first = std::find_if(all, all + i, same) - all;
    if (i < read && first < i) {
      findings->Warn(elements[i], "duplicate-mode",
                     Format("Mode %d of display %d again (first on line %d): "
                            "the tool writes both%s",
                            mode.mode_id, mode.disp_id,
                            findings->LineOf(elements[first]), kApart));
    }
    // A blank mode is reported with the first blank of its ID.
    if (i < read || std::any_of(all + read, all + i, same)) continue;
    int blanks = std::count_if(all + i, all + modes.num_modes, same);
    const tinyxml2::XMLElement *element =
        first < read ? elements[first] : nullptr;
    if (blanks == 1 && element == nullptr) continue;
    std::string message =
        blanks == 1 ? "the blank mode read after the Mode elements is"
                    : Format(
                          "the %d blank modes read after the Mode elements "
                          "are%s",
                          blanks, element == nullptr ? " all" : "");
    message += Format(" mode %d of display %d", mode.mode_id, mode.disp_id);
    if (element != nullptr) {
      message +=
          Format(", as is the Mode on line %d", findings->LineOf(element));
    }
    int copies = blanks + (element != nullptr ? 1 : 0);
    message +=
        copies == 2 ? ": the tool writes both" : ": the tool writes them all";
    findings->Warn(section, "duplicate-mode", message + kApart);
  }
}

void CheckDefaultMode(const tinyxml2::XMLElement *section,
                      const tavo::DispModes &modes, const InternalDtd &dtd,
                      Findings *findings) {
  std::vector<int> flagged;
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    if (modes.modes[i].is_default_mode)
      flagged.push_back(modes.modes[i].mode_id);
  }
  if (modes.num_modes == 0) return;
  bool lacks = section->Attribute(mf::kDefaultMode) == nullptr;
  if (flagged.size() == 1 && flagged[0] == modes.default_mode) {
    // A DefaultMode the file's DTD gives: reported here where the output's
    // value differs and no mismatch says so.
    const AttributeDefault *declared =
        DtdDefaultOf(dtd, section->Name(), mf::kDefaultMode);
    if (lacks && declared != nullptr &&
        declared->value != std::to_string(flagged[0])) {
      findings->Warn(
          section, "attribute-not-carried",
          DtdDefaultMessage(section, *declared,
                            Format("reads none and writes DefaultMode=\"%d\", "
                                   "the mode flagged IsDefaultMode",
                                   flagged[0])));
    }
    return;
  }
  std::string message = Format("DefaultMode is %d but ", modes.default_mode);
  if (flagged.empty()) {
    message += Format(
        "no mode is flagged IsDefaultMode: the output says %d "
        "and flags none",
        modes.default_mode);
  } else {
    std::string ids;
    for (int id : flagged)
      ids += (ids.empty() ? "" : ", ") + std::to_string(id);
    bool one = flagged.size() == 1;
    message += Format("%s %s %s flagged IsDefaultMode: the output says %d%s",
                      one ? "mode" : "modes", ids.c_str(), one ? "is" : "are",
                      flagged.back(), one ? "" : ", the last");
  }
  if (lacks) message += DtdDefaultNote(dtd, section, mf::kDefaultMode);
  findings->Warn(section, "default-mode-mismatch", message);
}

}  // namespace

int CheckModeSection(const tinyxml2::XMLElement *section,
                     const tavo::DispModes *modes, const InternalDtd &dtd,
                     Findings *findings) {
  CheckNumber(section, mf::kNumModes, dtd, findings);
  CheckNumber(section, mf::kDefaultMode, dtd, findings);
  int declared = mf::AttributeOrZero(section, mf::kNumModes);
  int refused = 0;
  std::vector<const tinyxml2::XMLElement *> elements;
  for (const tinyxml2::XMLElement *mode = section->FirstChildElement(mf::kMode);
       mode != nullptr && static_cast<int>(elements.size()) < declared;
       mode = mode->NextSiblingElement(mf::kMode)) {
    const tavo::DispMode *record =
        modes != nullptr ? &modes->modes[elements.size()] : nullptr;
    elements.push_back(mode);
    if (record != nullptr) findings->Identify(mode, *record);
    int line = CheckMode(mode, record, dtd, findings);
    if (refused == 0) refused = line;
  }
  // Where the colour library made no list for the count, no mode is read,
  // blank or not: the error says so.
  if (modes != nullptr || refused != 0) CheckModeCount(section, dtd, findings);
  if (modes != nullptr) {
    CheckDuplicateModes(section, *modes, elements, findings);
    CheckDefaultMode(section, *modes, dtd, findings);
  }
  return refused;
}

std::string ListLimit(const tinyxml2::XMLElement *section) {
  int declared = mf::AttributeOrZero(section, mf::kNumModes);
  if (declared < 0) {
    return Format(
        " (NumModes %d is negative: the colour library makes no "
        "list of it)",
        declared);
  }
  // The largest count below |declared| the library makes a list for, by
  // halving: no larger list is ever asked for than the reader asked for.
  int made = -1;
  int refused = declared;
  while (refused - made > 1) {
    int count = made + (refused - made) / 2;
    tavo::DispModes *list =
        tavo::DispModes::Init(tavo::kModeTypeStandard, 0, count);
    if (list != nullptr) {
      made = count;
      delete list;
    } else {
      refused = count;
    }
  }
  if (made < 0) return " (the colour library makes no list of modes)";
  return Format(
      " (the colour library makes lists of at most %s, NumModes "
      "asks for %d)",
      Count(made, "mode").c_str(), declared);
}

}  // namespace inspect
