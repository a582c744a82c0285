#include "inspect/findings.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "inspect/text.h"

namespace inspect {

namespace {

// Payloads run to megabytes: no locale lookup per character.
bool IsHexDigit(char c) {
  char lower = static_cast<char>(c | 0x20);
  return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'f');
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// What the reader does with a text of |length| digits where |needed| are
// asked for.
std::string LengthConsequence(uint64_t length, uint64_t needed) {
  if (length > needed) {
    return Format("the last %llu are ignored",
                  static_cast<unsigned long long>(length - needed));
  }
  if (length == 0) return "no byte is read from it";
  if (length % 2 == 1) {
    return Format(
        "byte %llu gets only its high digit, later bytes are not "
        "read",
        static_cast<unsigned long long>(length / 2));
  }
  return Format("bytes from offset %llu on are not read",
                static_cast<unsigned long long>(length / 2));
}

}  // namespace

void Findings::Warn(const tinyxml2::XMLElement *element, const char *code,
                    std::string message) {
  list_.push_back({element->GetLineNum(), false, code, std::move(message)});
}

void Findings::Fail(int line, const std::string &reason) {
  list_.push_back({line, true, "unreadable", "the tool fails: " + reason});
}

std::vector<Finding> Findings::Sorted() const {
  std::vector<Finding> sorted = list_;
  std::stable_sort(
      sorted.begin(), sorted.end(),
      [](const Finding &a, const Finding &b) { return a.line < b.line; });
  return sorted;
}

int CountChildren(const tinyxml2::XMLElement *element, const char *name) {
  int count = 0;
  for (const tinyxml2::XMLElement *child = element->FirstChildElement(name);
       child != nullptr; child = child->NextSiblingElement(name)) {
    ++count;
  }
  return count;
}

int NumberOrZero(const tinyxml2::XMLElement *element, const char *name) {
  const char *text = element->Attribute(name, nullptr);
  return text != nullptr ? atoi(text) : 0;
}

void CheckNumber(const tinyxml2::XMLElement *element, const char *name,
                 Findings *findings, bool flag) {
  const char *text = element->Attribute(name, nullptr);
  if (text == nullptr) return;
  std::string read = NumberAsWritten(text);
  if (read == text) return;
  if (flag) read += read == "0" ? ", false" : ", true";
  findings->Warn(
      element, "number-form",
      Format("%s=%s is read as %s", name, Quote(text).c_str(), read.c_str()));
}

void CheckPayload(const tinyxml2::XMLElement *element, uint64_t needed,
                  const std::string &what, Findings *findings) {
  const char *text = element->GetText();
  uint64_t length = text != nullptr ? strlen(text) : 0;
  if (length != needed) {
    findings->Warn(
        element, "payload-length",
        Format("payload has %s, %s needs %llu: %s",
               Count(static_cast<long long>(length), "character").c_str(),
               what.c_str(), static_cast<unsigned long long>(needed),
               LengthConsequence(length, needed).c_str()));
  }
  // Only the digits the reader takes matter; it reads each as a digit.
  uint64_t taken = std::min(length, needed);
  uint64_t first = taken;
  uint64_t count = 0;
  bool blank = false;
  for (uint64_t i = 0; i < taken; ++i) {
    if (IsHexDigit(text[i])) continue;
    if (count++ == 0) first = i;
    blank = blank || IsBlank(text[i]);
  }
  if (count == 0) return;
  findings->Warn(
      element, "payload-not-hex",
      Format("payload character %llu is %s (%llu not hexadecimal): read as "
             "a digit, byte %llu is wrong%s",
             static_cast<unsigned long long>(first),
             CharacterName(text[first]).c_str(),
             static_cast<unsigned long long>(count),
             static_cast<unsigned long long>(first / 2),
             blank ? " and white space shifts later bytes" : ""));
}

}  // namespace inspect
