// One output, for a person or as JSON, from one routine: a command emits
// each fact once, with its JSON key, and the lines of its text that name
// the facts; the printer decides the form. Text is written as it is
// printed; JSON, one document on one line, at Finish.
#ifndef INSPECT_BASE_PRINTER_H_
#define INSPECT_BASE_PRINTER_H_

#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <optional>
#include <string>

namespace inspect {

class Printer {
 public:
  virtual ~Printer() = default;

  // An object: the whole document (no |key|), an item of the list being
  // written (no |key|), or a member of the object being written.
  virtual void BeginObject(const char *key = nullptr) = 0;
  virtual void EndObject() = 0;
  // A list, a member of the object being written. In text, |header| comes
  // before the first line printed inside it, and |empty| stands for it when
  // nothing is printed inside it ("" for no line).
  virtual void BeginList(const char *key, const std::string &header = "",
                         const std::string &empty = "") = 0;
  virtual void EndList() = 0;

  // The facts: members of the object being written.
  void Int(const char *key, int64_t value) {
    Add(key, std::to_string(value), Kind::kNumber);
  }
  void String(const char *key, const std::string &value) {
    Add(key, value, Kind::kString);
  }
  void Bool(const char *key, bool value) {
    Add(key, value ? "true" : "false", Kind::kFlag);
  }
  void Null(const char *key) { Add(key, "null", Kind::kNull); }
  // A number, or null where there is none.
  void IntOrNull(const char *key, std::optional<int64_t> value) {
    if (value.has_value()) return Int(key, *value);
    Null(key);
  }

  // A line of the text, in which {KEY} or {KEY:FORM} stands for the fact
  // KEY of the object being written or of one around it. A number is
  // written in decimal, a string as it is, a flag as true or false, null as
  // "--". FORM is one of q (a string quoted, as Quote of text.h does), y (a
  // flag as yes or no), x (a number as two upper-case hex digits), or
  // #NOUN (a number and NOUN, in the plural but for 1: "3 bytes"); then,
  // but for #NOUN, a width the text is padded to, on the left or, after a
  // "-", on the right ("{size:6}", "{name:-18}"). JSON has no lines.
  virtual void Line(const std::string &format) = 0;
  // A line of the text as it is, naming no fact.
  virtual void Text(const std::string &line) = 0;

  // Ends the output: the JSON document is printed.
  virtual void Finish() = 0;

 protected:
  enum class Kind { kNumber, kString, kFlag, kNull };
  // A fact, as |text| for each kind: the number in decimal, the string as
  // it is, "true" or "false", "null".
  virtual void Add(const char *key, const std::string &text, Kind kind) = 0;
};

// A printer of JSON to standard output when |json|, else of text to
// |text|. JSON is strict UTF-8: a byte of a string that is not UTF-8
// stands as \ufffd.
std::unique_ptr<Printer> MakePrinter(bool json, FILE *text = stdout);

}  // namespace inspect

#endif  // INSPECT_BASE_PRINTER_H_
