#include "inspect/base/json.h"

#include <stdio.h>

#include "inspect/base/text.h"

namespace inspect {

JsonWriter &JsonWriter::Open(char bracket) {
  Separate();
  text_ += bracket;
  first_ = true;
  return *this;
}

JsonWriter &JsonWriter::Close(char bracket) {
  text_ += bracket;
  first_ = false;
  return *this;
}

void JsonWriter::Separate() {
  if (!first_) text_ += ',';
  first_ = false;
}

JsonWriter &JsonWriter::Key(const char *name) {
  String(name);
  text_ += ':';
  first_ = true;
  return *this;
}

JsonWriter &JsonWriter::String(const std::string &text) {
  Separate();
  text_ += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20) {
      // Control characters may not stand in a JSON string.
      char escaped[8];
      snprintf(escaped, sizeof(escaped), "\\u%04x", c);
      text_ += escaped;
    } else if (c < 0x80) {
      text_ += static_cast<char>(c);
    } else if (size_t length = Utf8Length(&text[i], text.size() - i)) {
      text_.append(text, i, length);
      i += length - 1;
    } else {
      // JSON is UTF-8: a byte that is not stands as U+FFFD, which check's
      // findings explain.
      text_ += "\\ufffd";
    }
  }
  text_ += '"';
  return *this;
}

JsonWriter &JsonWriter::Int(int64_t value) {
  Separate();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter &JsonWriter::Bool(bool value) {
  Separate();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter &JsonWriter::Null() {
  Separate();
  text_ += "null";
  return *this;
}

}  // namespace inspect
