// The file's internal DTD, which other XML readers apply and the tool's
// reader passes over as an unknown node: attribute defaults and entities.
#ifndef INSPECT_RULES_DTD_H_
#define INSPECT_RULES_DTD_H_

#include <stdint.h>
#include <tinyxml2.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "inspect/model/findings.h"

namespace inspect {

struct AttributeDefault {
  std::string element;
  std::string attribute;
  std::string value;
  bool fixed;  // #FIXED rather than a plain default
};

struct InternalDtd {
  // The first declaration of each element's attribute that gives a value:
  // it is the one that binds.
  std::vector<AttributeDefault> defaults;
  // General entities declared with a text, by name, the first binding.
  std::map<std::string, std::string> entities;
  // Just past the subset's "]" in the file, where tinyxml2, which ends the
  // DOCTYPE at its first ">", may read text; 0 when there is no subset.
  size_t end = 0;
  // Where the file refers to a declared entity in what the rules read as
  // a number or digits: the element's line and the attribute, "" for the
  // payload. The parsed value cannot tell "&two;" from "&amp;two;".
  std::set<std::pair<int, std::string>> read_references;
};

// The internal subset of |bytes|' DOCTYPE as strict XML readers read it;
// empty when there is none.
InternalDtd ReadInternalDtd(const std::string &bytes);

// When |text|, the value of |attribute| or, for null, the payload of the
// element on |line|, refers to an entity |dtd| declares: '"&two;" in
// RenderIntent is an entity the file's DTD declares: other XML readers read
// RenderIntent="2"; the tool reads the characters "&two;"', to be ended by what
// the tool makes of them; else "".
std::string DeclaredEntityReading(const InternalDtd &dtd, int line,
                                  const char *attribute, const char *text);

// The value |dtd| gives |attribute| of the elements named |element|, or
// null.
const AttributeDefault *DtdDefaultOf(const InternalDtd &dtd,
                                     std::string_view element,
                                     std::string_view attribute);

// The attribute-not-carried message of |element|, which lacks the
// attribute |declared| gives a value for: '... other XML readers read
// X="v"; the tool ' followed by |tool|, what the tool does instead.
std::string DtdDefaultMessage(const tinyxml2::XMLElement *element,
                              const AttributeDefault &declared,
                              const std::string &tool);

// "; the file's DTD defaults it to "5", which other XML readers read" when
// |dtd| gives a value for |attribute| of |element|, which lacks it; else "".
std::string DtdDefaultNote(const InternalDtd &dtd,
                           const tinyxml2::XMLElement *element,
                           const char *attribute);

// Warns with "attribute-not-carried" for each element under |root| that
// the tool reads and that lacks an attribute |dtd| gives a value for; of
// the Mode elements, the reader reads no more than |modes_read|.
void CheckDtdDefaults(const tinyxml2::XMLElement *root, const InternalDtd &dtd,
                      uint32_t modes_read, Findings *findings);

}  // namespace inspect

#endif  // INSPECT_RULES_DTD_H_
