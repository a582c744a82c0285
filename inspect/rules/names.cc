// Names the reader passes over: elements and attributes it does not know,
// which it ignores as if they were missing (a misspelt "Featuretype" leaves
// the feature type 0), and sections after the first of their kind.
#include <string.h>
#include <strings.h>

#include <initializer_list>
#include <string>
#include <utility>

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

// The name of |names| that |compare| finds equal to |name|, or null.
const char *Find(const char *name, Names names,
                 int (*compare)(const char *, const char *)) {
  for (const char *known : names) {
    if (compare(name, known) == 0) return known;
  }
  return nullptr;
}

const Element *Known(const char *name) {
  for (const Element &element : kElements) {
    if (strcmp(name, element.name) == 0) return &element;
  }
  return nullptr;
}

// |name| without the white space beyond ASCII that it holds, which people
// do not see, and where it holds some "a no-break space (U+00A0) in its
// name: other XML tools refuse the file;", else "". A space no one sees
// leaves the name looking right.
std::pair<std::string, std::string> Seen(const char *name) {
  std::string spaces;
  std::string seen = WithoutUnicodeSpaces(name, &spaces);
  if (spaces.empty()) return {seen, ""};
  return {seen, spaces + " in its name: other XML tools refuse the file;"};
}

// Warns of |element|, which the tool does not read, found |place| ("in
// Mode", "under the root").
void NotRead(const tinyxml2::XMLElement *element, const std::string &place,
             Findings *findings) {
  auto [seen, refused] = Seen(element->Name());
  findings->Warn(
      element, "unknown-name",
      Format("%s %s ", Quote(seen).c_str(), place.c_str()) +
          (refused.empty() ? "is not an element the tool reads: it is ignored"
                           : "has " + refused +
                                 " the tool reads a name it does not know "
                                 "and ignores the element"));
}

// Text directly in an element that holds elements, other than layout.
void CheckText(const tinyxml2::XMLElement *element, Findings *findings) {
  for (const tinyxml2::XMLNode *node = element->FirstChild(); node != nullptr;
       node = node->NextSibling()) {
    const tinyxml2::XMLText *text = node->ToText();
    // Past the white space of layout, the text goes on.
    if (text != nullptr &&
        text->Value()[strspn(text->Value(), " \t\r\n")] != '\0') {
      findings->WarnAt(
          findings->LineOf(text), "unknown-name",
          Format("text in %s is not read: it is ignored", element->Name()));
    }
  }
}

// The attributes of |element| that the tool does not read: any of the
// root's, which its output leaves out, else those not |known|, which it
// ignores. Where a name of |known| differs from one only in case, what the
// reader reads for it follows.
void CheckAttributes(const tinyxml2::XMLElement *element, Names known,
                     bool root, Findings *findings) {
  // What the tool does with one, after its name, or after the words of the
  // space in it that no one sees.
  const char *plain =
      root ? " that the tool does not read: it leaves it out of its output"
           : " that the tool does not know: it is ignored";
  const char *refused =
      root ? "the tool does not read it: it leaves it out of its output"
           : "the tool reads a name it does not know and ignores the attribute";
  for (const tinyxml2::XMLAttribute *attribute = element->FirstAttribute();
       attribute != nullptr; attribute = attribute->Next()) {
    if (Find(attribute->Name(), known, strcmp) != nullptr) continue;
    if (root && strcmp(attribute->Name(), "xmlns") == 0) {
      findings->Warn(
          element, "unknown-name",
          Format("%s has an attribute xmlns=%s, which puts every element in "
                 "that namespace for other XML readers: the tool leaves it "
                 "out of its output, so that every element of the output "
                 "leaves that namespace",
                 element->Name(), Quote(attribute->Value()).c_str()));
      continue;
    }
    auto [seen, spaces] = Seen(attribute->Name());
    std::string why =
        spaces.empty() ? plain : " with " + spaces + " " + refused;
    const char *meant = Find(seen.c_str(), known, strcasecmp);
    if (meant != nullptr && element->Attribute(meant, nullptr) == nullptr) {
      why += Format(", as if %s were missing", meant);
    } else if (meant != nullptr) {
      why += Format(", and the tool reads %s as written: its output has no %s",
                    meant, Quote(seen).c_str());
    }
    findings->Warn(element, "unknown-name",
                   Format("%s has an attribute %s%s", element->Name(),
                          Quote(seen).c_str(), why.c_str()));
  }
}

void CheckElement(const tinyxml2::XMLElement *element, const Element &known,
                  Findings *findings) {
  CheckAttributes(element, known.attributes, false, findings);
  if (known.child != nullptr) CheckText(element, findings);
  for (const tinyxml2::XMLElement *child = element->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    if (known.child != nullptr && strcmp(child->Name(), known.child) == 0) {
      CheckElement(child, *Known(known.child), findings);
    } else {
      NotRead(child, Format("in %s", known.name), findings);
    }
  }
}

}  // namespace

void CheckNames(const tinyxml2::XMLElement *root, Findings *findings) {
  if (strcmp(root->Name(), kRoot) != 0) {
    auto [seen, refused] = Seen(root->Name());
    findings->Warn(
        root, "unknown-name",
        Format("the root element is %s%s the tool reads it all the "
               "same, its output's root is %s",
               Quote(seen).c_str(),
               refused.empty() ? ":" : (" with " + refused).c_str(), kRoot));
  }
  CheckAttributes(root, {}, true, findings);
  CheckText(root, findings);
  const Names sections = {mf::kDispModes, lf::kLuts};
  for (const char *section : sections) {
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
    if (Find(child->Name(), sections, strcmp) == nullptr)
      NotRead(child, "under the root", findings);
  }
}

bool IsKnownAttribute(const char *element, const char *attribute) {
  const Element *known = Known(element);
  return known != nullptr &&
         Find(attribute, known->attributes, strcmp) != nullptr;
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
