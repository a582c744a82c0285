#include "inspect/rules/fields.h"

#include <string.h>

#include <algorithm>
#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "calib_db/xml_database_test.h"
#include "inspect/base/byte_span.h"
#include "inspect/base/text.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

using ull = unsigned long long;

// Payloads run to megabytes: no locale lookup per character.
constexpr bool IsHexDigit(char c) {
  char lower = static_cast<char>(c | 0x20);
  return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'f');
}

// The node after which the reader's text of |element| stops although the
// element goes on: a comment or element among the digits, or one where
// they should begin. Null when nothing follows the text.
const tinyxml2::XMLNode *Interruption(const tinyxml2::XMLElement *element) {
  const tinyxml2::XMLNode *node = element->FirstChild();
  // The reader skips comments before the text, as GetText does.
  while (node != nullptr && node->ToComment() != nullptr) {
    node = node->NextSibling();
  }
  if (node != nullptr && node->ToText() != nullptr) node = node->NextSibling();
  return node;
}

std::string NodeName(const tinyxml2::XMLNode *node) {
  if (node->ToComment() != nullptr) return "a comment";
  if (node->ToElement() != nullptr) {
    return "an element " + Quote(node->ToElement()->Name());
  }
  const tinyxml2::XMLText *text = node->ToText();
  // Text after text is what follows a CDATA section.
  if (text != nullptr) {
    return text->CData() ? "a CDATA section" : "text after a CDATA section";
  }
  return "markup";
}

// "; a comment on line 4 ends the text the reader takes", with what other
// readers read on where that is text; the line is that of |findings|.
std::string CutText(const tinyxml2::XMLNode *cut, const Findings &findings) {
  if (cut == nullptr) return "";
  std::string text = Format("; %s on line %d ends the text the reader takes",
                            NodeName(cut).c_str(), findings.LineOf(cut));
  if (cut->ToText() != nullptr) {
    text +=
        ": other XML readers read its digits as part of the payload, "
        "the tool reads none of them";
  }
  return text;
}

// How many characters of |text|, from |begin| to |end|, are not white
// space: a character of more bytes counts once.
uint64_t CountDigits(const char *text, uint64_t begin, uint64_t end) {
  uint64_t count = 0;
  for (uint64_t i = begin; i < end; ++i) {
    count += !IsBlank(text[i]) && (text[i] & 0xC0) != 0x80;
  }
  return count;
}

// The digits other XML readers read after |cut| as part of the payload:
// those of the text and CDATA sections up to the next element, comments
// passed over. The reader takes none of them.
uint64_t DigitsAfter(const tinyxml2::XMLNode *cut) {
  uint64_t digits = 0;
  for (const tinyxml2::XMLNode *node = cut;
       node != nullptr && node->ToElement() == nullptr;
       node = node->NextSibling()) {
    if (node->ToText() == nullptr) continue;
    digits += CountDigits(node->Value(), 0, strlen(node->Value()));
  }
  return digits;
}

// What the reader does with a payload of |length| characters, all of them
// digits, where |needed| are asked for.
std::string ShortConsequence(uint64_t length, uint64_t needed) {
  uint64_t bytes = needed / 2;
  uint64_t first = (length + 1) / 2;  // the first byte not reached
  std::string text;
  if (length % 2 == 1) {
    text = Format("byte %llu gets only its high digit, its low half 0",
                  static_cast<ull>(length / 2));
  }
  if (first < bytes) {
    if (!text.empty()) text += ", and ";
    text += first + 1 == bytes
                ? Format("byte %llu is not read", static_cast<ull>(first))
                : Format("bytes %llu to %llu are not read",
                         static_cast<ull>(first), static_cast<ull>(bytes - 1));
    text += ": the output has what the colour library made there";
  }
  return text;
}

// How many of the |count| bytes the reader makes of |text| differ from
// those its |digits| give, or are read from characters that are not
// digits at all; |first| gets the first.
uint64_t WrongBytes(const char *text, const std::string &digits, uint64_t count,
                    uint64_t *first) {
  std::vector<uint8_t> read(count), meant(count);
  tavo::XmlDatabaseTest::ConvertCharArrayToUINT8Array(
      text, read.data(), static_cast<uint32_t>(count));
  tavo::XmlDatabaseTest::ConvertCharArrayToUINT8Array(
      digits.c_str(), meant.data(), static_cast<uint32_t>(count));
  size_t length = strlen(text);
  uint64_t wrong = 0;
  for (uint64_t i = 0; i < count; ++i) {
    bool bad = read[i] != meant[i];
    for (uint64_t at = 2 * i; at < 2 * i + 2; ++at) {
      bad = bad || (at < length && !IsHexDigit(text[at])) ||
            (at < digits.size() && !IsHexDigit(digits[at]));
    }
    if (bad && wrong++ == 0) *first = i;
  }
  return wrong;
}

// "a line break", "'G'", or "U+200B (3 bytes)": the character of |length|
// bytes that starts |text|. tinyxml2 reads a carriage return, alone or
// before a line feed, as a line feed, so the file may hold any of them.
std::string PayloadCharacterName(const char *text, size_t length) {
  if (length == 1 && text[0] == '\n') return "a line break";
  if (length == 1) return CharacterName(text[0]);
  return Format("U+%04lX (%zu bytes)", CodePoint(text, length), length);
}

// The payload-not-hex message of |text|, |length| bytes, of which the
// reader takes |needed| as digits where |what| asks for them.
std::string NotHexMessage(const char *text, uint64_t length, uint64_t needed,
                          const std::string &what) {
  uint64_t taken = std::min(length, needed);
  // Counted in characters, as people count them, though read byte by byte.
  uint64_t characters = 0, bad = 0;
  std::string message;
  bool blank = false, wide = false;
  for (uint64_t at = 0; at < taken; ++characters) {
    size_t size = 1;
    if (!IsHexDigit(text[at])) {
      // A byte that begins no UTF-8 character counts as one.
      size = std::max<size_t>(Utf8Length(text + at, length - at), 1);
      if (bad++ == 0) {
        message =
            Format("payload character %llu is %s", static_cast<ull>(characters),
                   PayloadCharacterName(text + at, size).c_str());
      }
      blank = blank || IsBlank(text[at]);
      wide = wide || static_cast<unsigned char>(text[at]) >= 0x80;
    }
    at += size;
  }
  // The digits |text| means: all but its layout, white space and the bytes
  // of characters outside ASCII (a zero-width space, a no-break space),
  // which no one types for a digit. Other ASCII stands for a digit.
  std::string digits;
  for (const char *p = text; *p != '\0'; ++p) {
    if (!IsBlank(*p) && static_cast<unsigned char>(*p) < 0x80) digits += *p;
  }
  uint64_t first_wrong = 0;
  uint64_t wrong = WrongBytes(text, digits, needed / 2, &first_wrong);
  if (bad > 1) {
    message +=
        Format(" (%s of the %llu read are not hexadecimal digits)",
               Count(bad, "character").c_str(), static_cast<ull>(characters));
  }
  message += Format(
      ": read as digits, %llu of its %s come out wrong, from offset %llu",
      static_cast<ull>(wrong), Count(needed / 2, "byte").c_str(),
      static_cast<ull>(first_wrong));
  std::string layout = blank && wide ? "white space and characters outside "
                                       "ASCII"
                       : wide        ? "characters outside ASCII"
                                     : "white space";
  if (blank || wide) {
    message += wide ? " (" + layout + " shift the digits after them)"
                    : " (white space shifts the digits after it)";
  }
  if (digits.size() != needed) {
    message += Format("; without %s it has %s, %s needs %llu", layout.c_str(),
                      Count(digits.size(), "digit").c_str(), what.c_str(),
                      static_cast<ull>(needed));
  }
  return message;
}

}  // namespace

int CountChildren(const tinyxml2::XMLElement *element, const char *name) {
  int count = 0;
  for (const tinyxml2::XMLElement *child = element->FirstChildElement(name);
       child != nullptr; child = child->NextSiblingElement(name)) {
    ++count;
  }
  return count;
}

std::string Absent(const tinyxml2::XMLElement *element, const char *name,
                   const InternalDtd &dtd) {
  std::string note = DtdDefaultNote(dtd, element, name);
  // The note, "; the file's DTD ...", is an aside here.
  return Format("no %s", name) +
         (note.empty() ? note : " (" + note.substr(2) + ")");
}

std::string Declared(const tinyxml2::XMLElement *element, const char *name,
                     const InternalDtd &dtd) {
  if (element->Attribute(name, nullptr) == nullptr) {
    return "there is " + Absent(element, name, dtd);
  }
  return Format("%s is %d", name, mf::AttributeOrZero(element, name));
}

bool NamesDeclaredEntities(std::string_view element, const char *attribute) {
  // Those CheckNumber, Disable's check and CheckPayload read.
  static constexpr const char *kRead[][2] = {
      {mf::kDispModes, mf::kNumModes},  {mf::kDispModes, mf::kDefaultMode},
      {mf::kMode, mf::kModeId},         {mf::kMode, mf::kDisplayId},
      {mf::kMode, mf::kNumOfFeatures},  {mf::kMode, mf::kRenderIntent},
      {mf::kMode, mf::kIsDefaultMode},  {mf::kMode, mf::kIsMerge},
      {mf::kFeature, mf::kFeatureType}, {mf::kFeature, mf::kDataSize},
      {mf::kFeature, mf::kDisable},     {mf::kFeature, nullptr},
      {lf::kLuts, lf::kNumLuts},        {lf::kLut, lf::kType},
      {lf::kLut, lf::kNumPackets},      {lf::kLut, nullptr}};
  for (const auto &read : kRead) {
    if (element == read[0] &&
        (attribute == nullptr
             ? read[1] == nullptr
             : read[1] != nullptr && strcmp(attribute, read[1]) == 0)) {
      return true;
    }
  }
  return false;
}

void CheckNumber(const tinyxml2::XMLElement *element, const char *name,
                 const InternalDtd &dtd, Findings *findings, bool flag) {
  const char *text = element->Attribute(name, nullptr);
  if (text == nullptr) return;
  std::string read = NumberAsWritten(text);
  std::string written = flag ? (read == "0" ? "0" : "1") : read;
  if (written == text) return;
  // An entity declared in it is named first, as the cause.
  std::string message =
      DeclaredEntityReading(dtd, findings->LineOf(element), name, text);
  if (!message.empty()) {
    message += Format(" as %s and writes %s=\"%s\"", read.c_str(), name,
                      written.c_str());
  } else {
    message =
        Format("%s=%s is read as %s", name, Quote(text).c_str(), read.c_str());
    if (flag) {
      message += Format(", %s: written \"%s\"", read == "0" ? "false" : "true",
                        written.c_str());
    }
  }
  findings->Warn(element, "number-form", message);
}

void CheckPayload(const tinyxml2::XMLElement *element, uint64_t needed,
                  const std::string &what, const InternalDtd &dtd,
                  Findings *findings) {
  const char *text = element->GetText();
  if (text == nullptr) text = "";
  uint64_t length = strlen(text);
  uint64_t taken = std::min(length, needed);
  // Counted in one pass over the digits the reader takes, and the rest
  // only for how many are not white space.
  uint64_t blank = 0, lower = 0, other = 0;
  const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
  auto upper = [](unsigned char c) {
    return (static_cast<unsigned char>(c - '0') <= 9) |
           (static_cast<unsigned char>(c - 'A') <= 5);
  };
  for (uint64_t i = 0; i < taken; ++i) {
    // Upper-case digits, nearly all of them, are passed over uncounted.
    i += LeadingRunLength(bytes + i, taken - i, upper);
    if (i == taken) break;
    if (IsBlank(text[i])) {
      ++blank;
    } else if (text[i] >= 'a' && text[i] <= 'f') {
      ++lower;
    } else {
      ++other;
    }
  }
  uint64_t surplus = CountDigits(text, taken, length);
  uint64_t digits = taken - blank + surplus;
  const tinyxml2::XMLNode *cut = Interruption(element);
  uint64_t after = length < needed || needed == 0 ? 0 : DigitsAfter(cut);
  // The entity is the cause of what follows: it leads the one finding.
  std::string entity =
      DeclaredEntityReading(dtd, findings->LineOf(element), nullptr, text);
  if (!entity.empty()) entity += ": ";
  const char *code = "payload-length";
  std::string message;
  if (blank + other > 0) {
    code = "payload-not-hex";
    message = NotHexMessage(text, length, needed, what);
  } else if (after > 0 && surplus == 0) {
    // The digits the reader takes are complete; |cut| hides more.
    message = Format(
        "payload has %s, then %s on line %d: other XML readers read %llu "
        "digits where %s needs %llu; the tool reads the %llu before it and "
        "ignores the rest",
        Count(digits, "digit").c_str(), NodeName(cut).c_str(),
        findings->LineOf(cut), static_cast<ull>(digits + after), what.c_str(),
        static_cast<ull>(needed), static_cast<ull>(digits));
  } else if (surplus > 0 && needed == 0) {
    message = Format(
        "payload has %s, but with %s none is read: %s ignored, and the "
        "element is written without text",
        Count(surplus, "digit").c_str(), what.c_str(),
        surplus == 1 ? "it is" : "they are");
  } else if (length < needed || surplus > 0) {
    // Too few digits for the reader, or more than it takes (then |digits|
    // is |length|).
    std::string consequence =
        length < needed
            ? ShortConsequence(length, needed)
            : Format("the last %llu %s ignored", static_cast<ull>(surplus),
                     surplus == 1 ? "is" : "are");
    message = Format("payload has %s, %s needs %llu: %s",
                     Count(digits, "digit").c_str(), what.c_str(),
                     static_cast<ull>(needed), consequence.c_str());
  }
  // A payload cut short always has a finding: it says where the cut is.
  if (length < needed) message += CutText(cut, *findings);
  if (!message.empty()) findings->Warn(element, code, entity + message);
  if (lower > 0 && entity.empty()) {
    findings->Warn(element, "payload-case",
                   Format("payload has %s in lower case: read as the same "
                          "bytes, written in upper case",
                          Count(lower, "digit").c_str()));
  }
}

}  // namespace inspect
