// The internal DTD: tinyxml2 reads "<!DOCTYPE ... [" up to its first ">"
// as an unknown node and the rest as text it passes over, so the tool
// applies none of it, while other XML readers fill in the attribute
// defaults it declares and expand the entities it declares.
#include "inspect/rules/dtd.h"

#include <string.h>

#include <algorithm>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/base/xml_tokens.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

constexpr char kDoctype[] = "DOCTYPE";

// Reads declarations as a strict reader does: quoted literals may hold
// ">", comments and processing instructions are passed over.
class SubsetReader {
 public:
  SubsetReader(std::string_view text, InternalDtd *dtd)
      : text_(text), dtd_(dtd) {}

  // From just past "<!DOCTYPE" to the end of its internal subset.
  void Run() {
    SkipTo("[>");
    if (!At('[')) return;
    ++at_;
    while (at_ < text_.size() && text_[at_] != ']') {
      if (Ahead("<!--")) {
        SkipPast("-->");
      } else if (Ahead("<?")) {
        SkipPast("?>");
      } else if (Ahead("<!ATTLIST")) {
        at_ += strlen("<!ATTLIST");
        AttributeList();
      } else if (Ahead("<!ENTITY")) {
        at_ += strlen("<!ENTITY");
        Entity();
      } else if (Ahead("<!")) {
        SkipDeclaration();
      } else {
        ++at_;
      }
    }
    dtd_->end = std::min(at_ + 1, text_.size());
  }

 private:
  bool At(char c) const { return at_ < text_.size() && text_[at_] == c; }

  bool AtQuote() const { return At('"') || At('\''); }

  bool Ahead(std::string_view prefix) const {
    return text_.substr(at_, prefix.size()) == prefix;
  }

  void SkipPast(std::string_view end) {
    size_t found = text_.find(end, at_);
    at_ = found == std::string_view::npos ? text_.size() : found + end.size();
  }

  void SkipSpace() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  // A name, or a keyword such as "#FIXED" or "CDATA".
  std::string Word() {
    SkipSpace();
    size_t begin = at_;
    SkipTo(" \t\n\r>\"'(");
    return std::string(text_.substr(begin, at_ - begin));
  }

  // A quoted literal at |at_|, without its quotes.
  std::string Literal() {
    char quote = text_[at_++];
    size_t end = text_.find(quote, at_);
    if (end == std::string_view::npos) end = text_.size();
    std::string value(text_.substr(at_, end - at_));
    at_ = end + 1;
    return value;
  }

  // Up to the first of |stops| outside literals.
  void SkipTo(std::string_view stops) {
    while (at_ < text_.size() && stops.find(text_[at_]) == stops.npos) {
      if (AtQuote()) {
        Literal();
      } else {
        ++at_;
      }
    }
  }

  // The rest of a declaration, to its ">" outside literals.
  void SkipDeclaration() {
    SkipTo(">");
    ++at_;
  }

  void AttributeList() {
    std::string element = Word();
    for (;;) {
      SkipSpace();
      if (at_ >= text_.size() || At('>')) break;
      std::string attribute = Word();
      std::string type = Word();
      SkipSpace();
      if (At('(')) SkipPast(")");
      SkipSpace();
      bool fixed = false;
      if (At('#')) {
        fixed = Word() == "#FIXED";
        if (!fixed) continue;  // #REQUIRED, #IMPLIED: no value
        SkipSpace();
      }
      if (attribute.empty() || !AtQuote()) {
        break;  // not a declaration a strict reader takes
      }
      // Readers read a default's line breaks and tabs as spaces, but not
      // those that references give.
      std::string value = Literal();
      std::replace_if(value.begin(), value.end(), IsBlank, ' ');
      // The first declaration binds.
      if (DtdDefaultOf(*dtd_, element, attribute) == nullptr) {
        dtd_->defaults.push_back(
            {element, attribute, WithCharacters(value), fixed});
      }
    }
    SkipDeclaration();
  }

  // |literal| with its character references read, as they are when it is
  // declared.
  static std::string WithCharacters(const std::string &literal) {
    std::string read;
    for (const char *p = literal.c_str(); *p != '\0';) {
      char character[8];
      int length = 0;
      // Null for a malformed reference, which is then taken as it is.
      const char *next =
          *p == '&' ? tinyxml2::XMLUtil::GetCharacterRef(p, character, &length)
                    : nullptr;
      if (next == nullptr || length == 0) {
        read += *p++;
      } else {
        read.append(character, length);
        p = next;
      }
    }
    return read;
  }

  // A parameter entity or an external one declares no text for a
  // reference in the document.
  void Entity() {
    SkipSpace();
    std::string name = At('%') ? "" : Word();
    SkipSpace();
    if (!name.empty() && AtQuote()) {
      dtd_->entities.emplace(name, WithCharacters(Literal()));
    }
    SkipDeclaration();
  }

  std::string_view text_;
  InternalDtd *dtd_;
  size_t at_ = 0;
};

// What the tool makes of an attribute that an element lacks, where no
// other check reports its absence, after "the tool ".
struct Missing {
  const char *element;
  const char *attribute;
  const char *written;  // the value it writes, or null
  const char *tool;     // what it does otherwise
};

constexpr char kLibraryValue[] =
    "does not read it and writes the colour library's value";
constexpr char kNone[] = "reads none and writes none";

const Missing kMissing[] = {
    {mf::kMode, mf::kIsDefaultMode, "0", nullptr},
    {mf::kMode, mf::kIsAppMode, "0", nullptr},
    {mf::kMode, mf::kRenderIntent, "0", nullptr},
    {mf::kMode, mf::kIsMerge, "0", nullptr},
    {mf::kMode, mf::kWhitePoint, nullptr, kLibraryValue},
    {mf::kMode, mf::kEValue, nullptr, kLibraryValue},
    {mf::kMode, mf::kBValue, nullptr, kLibraryValue},
    {mf::kMode, mf::kRValue, nullptr, kLibraryValue},
    {mf::kMode, mf::kDynamicRange, nullptr, kNone},
    {mf::kMode, mf::kColorGamut, nullptr, kNone},
    {mf::kMode, mf::kPictureQuality, nullptr, kNone},
    {mf::kFeature, mf::kDisable, "false", nullptr},
};

// One element against the defaults declared for its name.
void CheckElement(const tinyxml2::XMLElement *element, const InternalDtd &dtd,
                  Findings *findings) {
  for (const AttributeDefault &declared : dtd.defaults) {
    if (declared.element != element->Name() ||
        element->Attribute(declared.attribute.c_str()) != nullptr) {
      continue;
    }
    const Missing *missing = std::find_if(
        std::begin(kMissing), std::end(kMissing), [&](const Missing &known) {
          return strcmp(element->Name(), known.element) == 0 &&
                 declared.attribute == known.attribute;
        });
    std::string tool;
    if (missing == std::end(kMissing)) {
      // The absence of the other known attributes has a finding of its
      // own (identity-missing, payload-length and the like): one cause,
      // one finding.
      if (IsKnownAttribute(element->Name(), declared.attribute.c_str())) {
        continue;
      }
      tool =
          "does not know " + declared.attribute + ", and its output has none";
    } else if (missing->written == nullptr) {
      tool = missing->tool;
    } else if (declared.value == missing->written) {
      continue;
    } else {
      tool = Format("reads none and writes %s=%s", missing->attribute,
                    Quote(missing->written).c_str());
    }
    findings->Warn(element, "attribute-not-carried",
                   DtdDefaultMessage(element, declared, tool));
  }
}

// |element|, if any, the first |most| of its children named |name|, if
// any, and all of theirs named |child|.
void CheckFamily(const tinyxml2::XMLElement *element, const char *name,
                 const char *child, uint32_t most, const InternalDtd &dtd,
                 Findings *findings) {
  if (element == nullptr) return;
  CheckElement(element, dtd, findings);
  if (name == nullptr) return;
  for (const tinyxml2::XMLElement *each = element->FirstChildElement(name);
       each != nullptr && most > 0;
       each = each->NextSiblingElement(name), --most) {
    CheckFamily(each, child, nullptr, UINT32_MAX, dtd, findings);
  }
}

}  // namespace

InternalDtd ReadInternalDtd(const std::string &bytes) {
  InternalDtd dtd;
  // Just past "<!DOCTYPE", as tinyxml2 reads the text before it; none
  // when there is none before the first tag.
  size_t start = std::string::npos;
  ReadXmlTokens(bytes, XmlReading::kProlog, [&](const XmlToken &token) {
    if (start == std::string::npos &&
        token.kind == XmlTokenKind::kDeclaration &&
        token.bytes.substr(0, strlen(kDoctype)) == kDoctype) {
      start = token.begin + strlen(kDoctype);
    }
  });
  if (start == std::string::npos) return dtd;
  SubsetReader(std::string_view(bytes).substr(start), &dtd).Run();
  if (dtd.end != 0) dtd.end += start;
  return dtd;
}

std::string DeclaredEntityReading(const InternalDtd &dtd, int line,
                                  const char *attribute, const char *text) {
  if (dtd.read_references.count(
          {line, attribute != nullptr ? attribute : ""}) == 0) {
    return "";
  }
  std::string first, expansion, read;
  for (const char *p = text; *p != '\0';) {
    const char *end = *p == '&' ? strchr(p, ';') : nullptr;
    auto declared = end != nullptr
                        ? dtd.entities.find(std::string(p + 1, end - p - 1))
                        : dtd.entities.end();
    if (declared == dtd.entities.end()) {
      read += *p++;
      continue;
    }
    if (first.empty()) {
      first.assign(p, end + 1 - p);
      expansion = declared->second;
    }
    read += declared->second;
    p = end + 1;
  }
  if (first.empty()) return "";
  // A payload may be megabytes: only the entity's own text is quoted.
  std::string others = attribute != nullptr
                           ? std::string(attribute) + "=" + Quote(read)
                           : Quote(expansion);
  return Format(
      "%s in %s is an entity the file's DTD declares: other XML "
      "readers read %s; the tool reads the characters %s",
      Quote(first).c_str(), attribute != nullptr ? attribute : "the payload",
      others.c_str(), Quote(attribute != nullptr ? text : first).c_str());
}

const AttributeDefault *DtdDefaultOf(const InternalDtd &dtd,
                                     std::string_view element,
                                     std::string_view attribute) {
  for (const AttributeDefault &declared : dtd.defaults) {
    if (declared.element == element && declared.attribute == attribute) {
      return &declared;
    }
  }
  return nullptr;
}

std::string DtdDefaultMessage(const tinyxml2::XMLElement *element,
                              const AttributeDefault &declared,
                              const std::string &tool) {
  std::string value = Quote(declared.value);
  return Format(
      "%s has no %s, which the file's DTD %s %s: other XML readers read "
      "%s=%s; the tool %s",
      element->Name(), declared.attribute.c_str(),
      declared.fixed ? "fixes at" : "defaults to", value.c_str(),
      declared.attribute.c_str(), value.c_str(), tool.c_str());
}

std::string DtdDefaultNote(const InternalDtd &dtd,
                           const tinyxml2::XMLElement *element,
                           const char *attribute) {
  const AttributeDefault *declared =
      DtdDefaultOf(dtd, element->Name(), attribute);
  if (declared == nullptr) return "";
  return Format("; the file's DTD %s it %s %s, which other XML readers read",
                declared->fixed ? "fixes" : "defaults",
                declared->fixed ? "at" : "to", Quote(declared->value).c_str());
}

void CheckDtdDefaults(const tinyxml2::XMLElement *root, const InternalDtd &dtd,
                      uint32_t modes_read, Findings *findings) {
  if (dtd.defaults.empty()) return;
  CheckElement(root, dtd, findings);
  // The sections the reader reads: only the first of each kind.
  CheckFamily(root->FirstChildElement(mf::kDispModes), mf::kMode, mf::kFeature,
              modes_read, dtd, findings);
  CheckFamily(root->FirstChildElement(lf::kLuts), lf::kLut, nullptr, UINT32_MAX,
              dtd, findings);
}

}  // namespace inspect
