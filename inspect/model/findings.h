// What check finds in one file, and the checks of single fields that the
// mode and LUT sections share.
#ifndef INSPECT_MODEL_FINDINGS_H_
#define INSPECT_MODEL_FINDINGS_H_

#include <stdint.h>
#include <tinyxml2.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "color_lib/disp_mode.h"

namespace inspect {

// The mode and feature whose element holds a finding, identified as the
// reader identifies them; unset outside any mode or feature. |display| is
// unset too for a mode without DisplayID that the reader did not read.
struct FindingPlace {
  std::optional<int> display;
  std::optional<int> mode;
  std::optional<int> feature;
};

struct Finding {
  int line;       // of the element; 0 when there is none
  bool is_error;  // the tool fails on the file, rather than reading it
  const char *code;
  std::string message;
  FindingPlace place = {};
};

class Findings {
 public:
  // Records that the reader read the Mode element |mode| as |record|, so
  // that findings in it carry the display and mode ID the reader gave it.
  void Identify(const tinyxml2::XMLElement *mode, const tavo::DispMode &record);
  // A warning with |code|, one of kCodes, on |element|'s line, placed in
  // the mode and feature that hold |element|.
  void Warn(const tinyxml2::XMLElement *element, const char *code,
            std::string message);
  // The same on |line|, for what is found in the file's bytes: in no mode.
  void WarnAt(int line, const char *code, std::string message);
  // The one error: the tool fails on the file. |reason| says why, after
  // "the tool fails: ".
  void Fail(int line, const std::string &reason);
  // Adds every finding of |others|, which were made apart (the byte scan).
  void Append(const Findings &others);
  // In the order of their lines, so that a person reads the file along.
  std::vector<Finding> Sorted() const;

 private:
  FindingPlace PlaceOf(const tinyxml2::XMLElement *element) const;

  std::vector<Finding> list_;
  // Mode elements the reader read, with their display and mode ID.
  std::vector<std::pair<const tinyxml2::XMLElement *, std::pair<int, int>>>
      identified_;
};

// How many child elements named |name| |element| has.
int CountChildren(const tinyxml2::XMLElement *element, const char *name);

// The number the reader takes from |element|'s attribute |name|, as atoi
// reads it; 0 when the attribute is missing.
int NumberOrZero(const tinyxml2::XMLElement *element, const char *name);

// "NumModes is 3", or "there is no NumModes" when |element| lacks it.
std::string Declared(const tinyxml2::XMLElement *element, const char *name);

// Whether |element| has an attribute whose name is |name| but for case: a
// misspelling that unknown-name reports.
bool HasNameButForCase(const tinyxml2::XMLElement *element, const char *name);

// Warns with "number-form" when |element|'s attribute |name| is not the
// plain decimal that the reader's atoi reads it as or, for a numeric
// |flag|, not the "1" or "0" the writer puts for it.
void CheckNumber(const tinyxml2::XMLElement *element, const char *name,
                 Findings *findings, bool flag = false);

// Checks the payload text of |element| against the |needed| digits that
// |what| ("DataSize 4", "no DataSize") asks for, white space taken as
// layout: "payload-length" when it has other digits than the reader takes,
// "payload-not-hex" when the reader takes characters that are not
// hexadecimal digits (one finding, with the bytes that come out wrong),
// "payload-case" for lower-case digits.
void CheckPayload(const tinyxml2::XMLElement *element, uint64_t needed,
                  const std::string &what, Findings *findings);

}  // namespace inspect

#endif  // INSPECT_MODEL_FINDINGS_H_
