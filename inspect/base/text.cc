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
  size_t length;
  unsigned char low = 0x80;  // bounds of the second byte
  unsigned char high = 0xBF;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) {
    length = 2;
  } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    length = 3;
    if (p[0] == 0xE0) low = 0xA0;   // overlong
    if (p[0] == 0xED) high = 0x9F;  // surrogates
  } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    length = 4;
    if (p[0] == 0xF0) low = 0x90;   // overlong
    if (p[0] == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
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

std::string Quote(const std::string &text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      size_t length = Utf8Length(&text[i], text.size() - i);
      if (length == 0) {
        out += Format("\\x%02X", c);
      } else {
        out.append(text, i, length);
        i += length - 1;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          out += Format("\\x%02X", c);
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

namespace {

// The white space character |code| beyond ASCII in words, or "".
std::string UnicodeSpaceName(unsigned long code) {
  const char *name = nullptr;
  switch (code) {
    case 0xA0:
      name = "a no-break space";
      break;
    case 0x200B:
      name = "a zero-width space";
      break;
    case 0x202F:
      name = "a narrow no-break space";
      break;
    case 0x3000:
      name = "an ideographic space";
      break;
    default:
      if ((code >= 0x2000 && code <= 0x200A) || code == 0x205F) {
        name = "a space";
      }
  }
  return name != nullptr ? Format("%s (U+%04lX)", name, code) : "";
}

}  // namespace

std::string WithoutUnicodeSpaces(const std::string &name, std::string *spaces) {
  std::string kept;
  spaces->clear();
  for (size_t i = 0; i < name.size();) {
    size_t length = Utf8Length(&name[i], name.size() - i);
    std::string space;
    if (length > 1) {
      space = UnicodeSpaceName(CodePoint(&name[i], length));
    }
    if (space.empty()) kept.append(name, i, length > 0 ? length : 1);
    if (spaces->empty()) *spaces = space;
    i += length > 0 ? length : 1;
  }
  return kept;
}

std::string CharacterName(char c) {
  switch (c) {
    case ' ':
      return "a space";
    case '\t':
      return "a tab";
    case '\n':
      return "a line feed";
    case '\r':
      return "a carriage return";
  }
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
