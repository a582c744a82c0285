// Where each element of a file stands in its bytes. tinyxml2 gives the tree
// but no offsets, and an edit that keeps the rest of the file byte for byte
// needs them.
#ifndef INSPECT_EDIT_ELEMENT_SCAN_H_
#define INSPECT_EDIT_ELEMENT_SCAN_H_

#include <stddef.h>
#include <tinyxml2.h>

#include <string>
#include <vector>

namespace inspect {

struct AttributeSpan {
  std::string name;
  // The raw value between its quotes: [value_begin, value_end).
  size_t value_begin;
  size_t value_end;
};

struct ElementSpan {
  std::string name;
  int parent;     // index in the scan, -1 for an element of the document
  size_t open;    // the "<" of its start tag
  size_t inside;  // just past the start tag's ">"
  // Just past the last attribute's closing quote, or past the name when
  // there is no attribute: where one more attribute goes.
  size_t after_attributes;
  size_t close;  // the "<" of its end tag; |inside| when |empty|
  size_t end;    // just past its end tag, or past "/>" when |empty|
  bool empty;    // written <Name/>
  std::vector<AttributeSpan> attributes;

  // The attribute named |name|, or null.
  const AttributeSpan *Find(const char *attribute) const;
};

// Fills |order| with the elements of |doc|, which tinyxml2 parsed from
// |bytes|, in document order (a parent before its children), and |spans|
// with where each element stands in |bytes|, read as tinyxml2 reads them
// (ReadXmlTokens). True when the two agree: as many elements, by name and
// parent, in the same order, so that spans[i] is where order[i] stands.
bool MatchElements(const std::string &bytes, const tinyxml2::XMLDocument &doc,
                   std::vector<const tinyxml2::XMLElement *> *order,
                   std::vector<ElementSpan> *spans);

}  // namespace inspect

#endif  // INSPECT_EDIT_ELEMENT_SCAN_H_
