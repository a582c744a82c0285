#include "inspect/text.h"

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

std::string Quote(const std::string &text) {
  std::string out = "\"";
  for (unsigned char c : text) {
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
