#include "inspect/base/text.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

namespace inspect {

std::string Format(const char *format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) vsnprintf(&text[0], text.size() + 1, format, args);
  va_end(args);
  return text;
}

size_t Utf8Length(const char *text, size_t size) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  if (p[0] < 0x80) return 1;
  if (p[0] < 0xC2 || p[0] > 0xF4) return 0;
  size_t length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : 2;
  // The bounds of the second byte: past the overlong forms, short of the
  // surrogates and of what is beyond U+10FFFF.
  unsigned char low = p[0] == 0xE0 ? 0xA0 : p[0] == 0xF0 ? 0x90 : 0x80;
  unsigned char high = p[0] == 0xED ? 0x9F : p[0] == 0xF4 ? 0x8F : 0xBF;
  if (size < length || p[1] < low || p[1] > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

unsigned long CodePoint(const char *text, size_t length) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  if (length == 1) return p[0];
  unsigned long code = p[0] & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) code = (code << 6) | (p[i] & 0x3F);
  return code;
}

std::string QuoteWith(const std::string &text,
                      std::string (*escape)(unsigned char c, bool stray)) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : Utf8Length(&text[i], text.size() - i);
    std::string escaped = length > 1 ? "" : escape(c, length == 0);
    if (escaped.empty()) {
      out.append(text, i, length);
    } else {
      out += escaped;
    }
    i += length > 0 ? length : 1;
  }
  return out + "\"";
}

std::string Quote(const std::string &text) {
  return QuoteWith(text, [](unsigned char c, bool stray) -> std::string {
    const char *escape = c == '"'    ? "\\\""
                         : c == '\\' ? "\\\\"
                         : c == '\n' ? "\\n"
                         : c == '\t' ? "\\t"
                         : c == '\r' ? "\\r"
                                     : nullptr;
    if (escape != nullptr) return escape;
    return stray || c < 0x20 || c == 0x7f ? Format("\\x%02X", c) : "";
  });
}

std::string WithoutUnicodeSpaces(const std::string &name, std::string *spaces) {
  std::string kept;
  spaces->clear();
  for (size_t i = 0; i < name.size();) {
    size_t length = Utf8Length(&name[i], name.size() - i);
    unsigned long code = length > 1 ? CodePoint(&name[i], length) : 0;
    const char *space = code == 0xA0     ? "a no-break space"
                        : code == 0x200B ? "a zero-width space"
                        : code == 0x202F ? "a narrow no-break space"
                        : code == 0x3000 ? "an ideographic space"
                        : (code >= 0x2000 && code <= 0x200A) || code == 0x205F
                            ? "a space"
                            : nullptr;
    length = length > 0 ? length : 1;
    if (space == nullptr) {
      kept.append(name, i, length);
    } else if (spaces->empty()) {
      *spaces = Format("%s (U+%04lX)", space, code);
    }
    i += length;
  }
  return kept;
}

std::string CharacterName(char c) {
  const char *name = c == ' '    ? "a space"
                     : c == '\t' ? "a tab"
                     : c == '\n' ? "a line feed"
                     : c == '\r' ? "a carriage return"
                                 : nullptr;
  if (name != nullptr) return name;
  unsigned char byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte >= 0x7f) return Format("byte 0x%02X", byte);
  return Format("'%c'", c);
}

std::string Count(long long count, const char *thing) {
  return Format("%lld %s%s", count, thing, count == 1 ? "" : "s");
}

std::string NumberAsWritten(const char *text) {
  return std::to_string(atoi(text));
}

}  // namespace inspect
