// What check finds in one file: each finding with its place.
#ifndef INSPECT_MODEL_FINDINGS_H_
#define INSPECT_MODEL_FINDINGS_H_

#include <stdint.h>
#include <tinyxml2.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "color_lib/disp_mode.h"
#include "inspect/base/xml_tokens.h"

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
  // Takes |lines|, XmlNodeLines of the text |doc| was parsed from, for the
  // lines of the findings on |doc|'s nodes. Where there are none, or they
  // do not pair with the nodes, tinyxml2's own lines are kept.
  void TakeLines(const tinyxml2::XMLDocument *doc,
                 const std::vector<XmlNodeLine> &lines);
  // The line of |node| as XML counts lines (TakeLines), else as tinyxml2
  // does.
  int LineOf(const tinyxml2::XMLNode *node) const;
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
  std::unordered_map<const tinyxml2::XMLNode *, int> lines_;
  // Mode elements the reader read, with their display and mode ID.
  std::unordered_map<const tinyxml2::XMLElement *, std::pair<int, int>>
      identified_;
};

}  // namespace inspect

#endif  // INSPECT_MODEL_FINDINGS_H_
