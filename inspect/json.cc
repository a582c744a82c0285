#include "inspect/json.h"

#include <stdio.h>

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
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20) {
      // Control characters may not stand in a JSON string; everything
      // else, UTF-8 included, passes through as the file has it.
      char escaped[8];
      snprintf(escaped, sizeof(escaped), "\\u%04x", c);
      text_ += escaped;
    } else {
      text_ += static_cast<char>(c);
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
