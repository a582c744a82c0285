// Names the reader passes over: elements and attributes it does not know,
// which it ignores as if they were missing (a misspelt "Featuretype" leaves
// the feature type 0), and sections after the first of their kind.
#include <string.h>
#include <strings.h>

#include <initializer_list>
#include <string>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

using Names = std::initializer_list<const char *>;

// The root of every file the tool writes.
constexpr char kRoot[] = "Calib_Data";

// What the reader knows of each element, and the one kind of child element
// it reads.
struct Element {
  const char *name;
  Names attributes;
  const char *child;
};

const Element kElements[] = {
    {mf::kDispModes, {mf::kNumModes, mf::kDefaultMode}, mf::kMode},
    {mf::kMode,
     {mf::kModeId, mf::kDisplayId, mf::kIsDefaultMode, mf::kIsAppMode,
      mf::kName, mf::kNumOfFeatures, mf::kWhitePoint, mf::kEValue, mf::kBValue,
      mf::kRValue, mf::kDynamicRange, mf::kColorGamut, mf::kPictureQuality,
      mf::kRenderIntent, mf::kIsMerge},
     mf::kFeature},
    {mf::kFeature, {mf::kFeatureType, mf::kDisable, mf::kDataSize}, nullptr},
    {lf::kLuts, {lf::kNumLuts}, lf::kLut},
    {lf::kLut, {lf::kType, lf::kNumPackets}, nullptr},
};

bool IsOneOf(const char *name, Names names) {
  for (const char *known : names) {
    if (strcmp(name, known) == 0) return true;
  }
  return false;
}

const Element *Known(const char *name) {
  for (const Element &element : kElements) {
    if (strcmp(name, element.name) == 0) return &element;
  }
  return nullptr;
}

// The known name that |name| misspells only in case, or null.
const char *CaseOf(const char *name, Names names) {
  for (const char *known : names) {
    if (strcasecmp(name, known) == 0) return known;
  }
  return nullptr;
}

// What the reader reads for |name|, an attribute of |element| that it
// does not know, where a known name differs from it only in case.
std::string Meant(const tinyxml2::XMLElement *element, const char *name,
                  Names known) {
  const char *meant = CaseOf(name, known);
  if (meant == nullptr) return "";
  if (element->Attribute(meant, nullptr) == nullptr) {
    return Format(", as if %s were missing", meant);
  }
  return Format(", and the tool reads %s as written: its output has no %s",
                meant, Quote(name).c_str());
}

// The unknown-name message of an element named |name| that the tool does
// not read, found |place| ("in Mode", "under the root").
std::string NotReadElement(const char *name, const char *place) {
  std::string spaces;
  std::string seen = WithoutUnicodeSpaces(name, &spaces);
  if (spaces.empty()) {
    return Format("%s %s is not an element the tool reads: it is ignored",
                  Quote(name).c_str(), place);
  }
  // A space no one sees leaves the name looking right.
  return Format(
      "%s %s has %s in its name: other XML tools refuse the "
      "file; the tool reads a name it does not know and ignores "
      "the element",
      Quote(seen).c_str(), place, spaces.c_str());
}

// Text directly in an element that holds elements, other than layout.
void CheckText(const tinyxml2::XMLElement *element, Findings *findings) {
  for (const tinyxml2::XMLNode *node = element->FirstChild(); node != nullptr;
       node = node->NextSibling()) {
    const tinyxml2::XMLText *text = node->ToText();
    if (text == nullptr ||
        strspn(text->Value(), " \t\r\n") == strlen(text->Value())) {
      continue;
    }
    findings->WarnAt(
        findings->LineOf(text), "unknown-name",
        Format("text in %s is not read: it is ignored", element->Name()));
  }
}

void CheckElement(const tinyxml2::XMLElement *element, const Element &known,
                  Findings *findings) {
  for (const tinyxml2::XMLAttribute *attribute = element->FirstAttribute();
       attribute != nullptr; attribute = attribute->Next()) {
    if (IsOneOf(attribute->Name(), known.attributes)) continue;
    std::string spaces;
    std::string seen = WithoutUnicodeSpaces(attribute->Name(), &spaces);
    std::string meant = Meant(element, seen.c_str(), known.attributes);
    if (!spaces.empty()) {
      // A space no one sees leaves the name looking right.
      findings->Warn(
          element, "unknown-name",
          Format("%s has an attribute %s with %s in its name: other XML "
                 "tools refuse the file; the tool reads a name it does not "
                 "know and ignores the attribute%s",
                 known.name, Quote(seen).c_str(), spaces.c_str(),
                 meant.c_str()));
      continue;
    }
    findings->Warn(
        element, "unknown-name",
        Format("%s has an attribute %s that the tool does not know: it is "
               "ignored%s",
               known.name, Quote(seen).c_str(), meant.c_str()));
  }
  if (known.child != nullptr) CheckText(element, findings);
  for (const tinyxml2::XMLElement *child = element->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    if (known.child != nullptr && strcmp(child->Name(), known.child) == 0) {
      CheckElement(child, *Known(known.child), findings);
      continue;
    }
    findings->Warn(
        child, "unknown-name",
        NotReadElement(child->Name(), Format("in %s", known.name).c_str()));
  }
}

// The root's attributes, none of which the tool reads or writes.
void CheckRootAttributes(const tinyxml2::XMLElement *root, Findings *findings) {
  for (const tinyxml2::XMLAttribute *attribute = root->FirstAttribute();
       attribute != nullptr; attribute = attribute->Next()) {
    if (strcmp(attribute->Name(), "xmlns") == 0) {
      findings->Warn(
          root, "unknown-name",
          Format("%s has an attribute xmlns=%s, which puts every element in "
                 "that namespace for other XML readers: the tool leaves it "
                 "out of its output, so that every element of the output "
                 "leaves that namespace",
                 root->Name(), Quote(attribute->Value()).c_str()));
      continue;
    }
    std::string spaces;
    std::string seen = WithoutUnicodeSpaces(attribute->Name(), &spaces);
    // A space no one sees leaves the name looking right.
    std::string why =
        spaces.empty()
            ? std::string(" that the tool does not read")
            : Format(
                  " with %s in its name: other XML tools refuse the file; "
                  "the tool does not read it",
                  spaces.c_str());
    findings->Warn(root, "unknown-name",
                   Format("%s has an attribute %s%s: it leaves it out of its "
                          "output",
                          root->Name(), Quote(seen).c_str(), why.c_str()));
  }
}

}  // namespace

void CheckNames(const tinyxml2::XMLElement *root, Findings *findings) {
  if (strcmp(root->Name(), kRoot) != 0) {
    std::string spaces;
    std::string seen = WithoutUnicodeSpaces(root->Name(), &spaces);
    // A space no one sees leaves the name looking right.
    std::string why = spaces.empty()
                          ? ":"
                          : " with " + spaces +
                                " in its name: other XML tools refuse the "
                                "file;";
    findings->Warn(root, "unknown-name",
                   Format("the root element is %s%s the tool reads it all the "
                          "same, its output's root is %s",
                          Quote(seen).c_str(), why.c_str(), kRoot));
  }
  CheckRootAttributes(root, findings);
  CheckText(root, findings);
  for (const char *section : {mf::kDispModes, lf::kLuts}) {
    const tinyxml2::XMLElement *first = root->FirstChildElement(section);
    if (first == nullptr) continue;
    CheckElement(first, *Known(section), findings);
    for (const tinyxml2::XMLElement *later = first->NextSiblingElement(section);
         later != nullptr; later = later->NextSiblingElement(section)) {
      findings->Warn(later, "section-ignored",
                     Format("another %s: only the first is read", section));
    }
  }
  for (const tinyxml2::XMLElement *child = root->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    if (IsOneOf(child->Name(), {mf::kDispModes, lf::kLuts})) continue;
    findings->Warn(child, "unknown-name",
                   NotReadElement(child->Name(), "under the root"));
  }
}

bool IsKnownAttribute(const char *element, const char *attribute) {
  const Element *known = Known(element);
  return known != nullptr && IsOneOf(attribute, known->attributes);
}

void CheckOutsideRoot(const tinyxml2::XMLDocument *doc, Findings *findings) {
  const tinyxml2::XMLElement *root = doc->FirstChildElement();
  for (const tinyxml2::XMLElement *other = root->NextSiblingElement();
       other != nullptr; other = other->NextSiblingElement()) {
    findings->Warn(other, "unknown-name",
                   Format("another root element %s after the first: other XML "
                          "tools refuse the file; the tool reads only the "
                          "first root, and its output leaves this one out, "
                          "with all it holds",
                          Quote(other->Name()).c_str()));
  }
}

}  // namespace inspect
