// The --json output: one JSON document, built as it is written.
#ifndef INSPECT_BASE_JSON_H_
#define INSPECT_BASE_JSON_H_

#include <stdint.h>

#include <string>

namespace inspect {

// Appends values, keys and brackets to a text, putting in the commas.
// Callers pair every Begin with its End.
class JsonWriter {
 public:
  JsonWriter &BeginObject() { return Open('{'); }
  JsonWriter &EndObject() { return Close('}'); }
  JsonWriter &BeginArray() { return Open('['); }
  JsonWriter &EndArray() { return Close(']'); }
  // The name of the next member of the object being written.
  JsonWriter &Key(const char *name);
  JsonWriter &String(const std::string &text);
  JsonWriter &Int(int64_t value);
  JsonWriter &Bool(bool value);
  JsonWriter &Null();

  // The document so far, ended by a line feed. Strings are UTF-8 in it:
  // each byte of theirs that is not stands as \ufffd.
  std::string Text() const { return text_ + "\n"; }

 private:
  JsonWriter &Open(char bracket);
  JsonWriter &Close(char bracket);
  // A comma, unless this value is the first in its container or follows
  // its key.
  void Separate();

  std::string text_;
  bool first_ = true;
};

}  // namespace inspect

#endif  // INSPECT_BASE_JSON_H_
