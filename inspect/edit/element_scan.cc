#include "inspect/edit/element_scan.h"

#include <ctype.h>
#include <string.h>

namespace inspect {

namespace {

// As tinyxml2's XMLUtil: a white-space byte that does not continue a UTF-8
// character, and the bytes of names.
bool IsWhiteSpace(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u & 0xC0) != 0x80 && isspace(u);
}

bool IsNameStart(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 128 || isalpha(u) || c == ':' || c == '_';
}

bool IsName(char c) {
  return IsNameStart(c) || isdigit(static_cast<unsigned char>(c)) || c == '.' ||
         c == '-';
}

// Reads one level of content after another, the way tinyxml2 takes nodes.
class Scan {
 public:
  Scan(const std::string &bytes, std::vector<ElementSpan> *elements)
      : text_(bytes.c_str()),
        size_(strlen(bytes.c_str())),
        elements_(elements) {}

  bool Document() {
    SkipWhiteSpace();
    if (Ahead("\xEF\xBB\xBF")) at_ += 3;
    std::string end_name;
    Content(-1, &end_name);
    return ok_;
  }

 private:
  // The nodes inside |parent| up to its end tag, whose name goes to
  // |end_name|. False at the end of the text or after an error; at the
  // document's level, an end tag ends the reading, as it ends tinyxml2's.
  bool Content(int parent, std::string *end_name) {
    while (ok_ && at_ < size_) {
      size_t start = at_;
      SkipWhiteSpace();
      if (at_ >= size_) return false;
      if (Ahead("<?")) {
        SkipPast(2, "?>");
      } else if (Ahead("<!--")) {
        SkipPast(4, "-->");
      } else if (Ahead("<![CDATA[")) {
        SkipPast(9, "]]>");
      } else if (Ahead("<!")) {
        SkipPast(2, ">");
      } else if (Ahead("<")) {
        bool closing = false;
        if (!Element(parent, &closing, end_name)) return false;
        if (closing) return true;
      } else {
        // Text runs up to the next "<", its leading white space included.
        at_ = start;
        const char *next = strchr(text_ + at_, '<');
        if (next == nullptr) return Fail();
        at_ = static_cast<size_t>(next - text_);
      }
    }
    return false;
  }

  // One tag and, for a start tag, the element's content and end tag. Sets
  // |closing| for an end tag, its name in |end_name|.
  bool Element(int parent, bool *closing, std::string *end_name) {
    ElementSpan span;
    span.parent = parent;
    span.open = at_;
    ++at_;
    SkipWhiteSpace();
    if (at_ < size_ && text_[at_] == '/') {
      *closing = true;
      ++at_;
    }
    if (!Name(&span.name)) return Fail();
    span.after_attributes = at_;
    bool empty = false;
    if (!Attributes(&span, &empty)) return Fail();
    if (empty) *closing = false;  // "</a/>" is an empty element to tinyxml2
    if (*closing) {
      *end_name = span.name;
      end_tag_ = span.open;
      return true;
    }
    span.inside = at_;
    span.empty = empty;
    span.close = at_;
    span.end = at_;
    size_t index = elements_->size();
    elements_->push_back(span);
    if (empty) return true;
    std::string inner_end;
    if (!Content(static_cast<int>(index), &inner_end)) return Fail();
    if (inner_end != (*elements_)[index].name) return Fail();
    (*elements_)[index].close = end_tag_;
    (*elements_)[index].end = at_;
    return true;
  }

  bool Attributes(ElementSpan *span, bool *empty) {
    while (true) {
      SkipWhiteSpace();
      if (at_ >= size_) return false;
      char c = text_[at_];
      if (IsNameStart(c)) {
        AttributeSpan attribute;
        if (!Attribute(&attribute) || span->Find(attribute.name.c_str())) {
          return false;
        }
        span->attributes.push_back(attribute);
        span->after_attributes = at_;
      } else if (c == '>') {
        ++at_;
        break;
      } else if (c == '/' && at_ + 1 < size_ && text_[at_ + 1] == '>') {
        at_ += 2;
        *empty = true;
        break;
      } else {
        return false;
      }
    }
    return true;
  }

  bool Attribute(AttributeSpan *attribute) {
    if (!Name(&attribute->name)) return false;
    SkipWhiteSpace();
    if (at_ >= size_ || text_[at_] != '=') return false;
    ++at_;
    SkipWhiteSpace();
    if (at_ >= size_ || (text_[at_] != '"' && text_[at_] != '\'')) {
      return false;
    }
    char quote = text_[at_++];
    const char *end = strchr(text_ + at_, quote);
    if (end == nullptr) return false;
    attribute->value_begin = at_;
    attribute->value_end = static_cast<size_t>(end - text_);
    at_ = attribute->value_end + 1;
    return true;
  }

  bool Name(std::string *name) {
    if (at_ >= size_ || !IsNameStart(text_[at_])) return false;
    size_t start = at_;
    while (at_ < size_ && IsName(text_[at_])) ++at_;
    name->assign(text_ + start, at_ - start);
    return true;
  }

  // Past |terminator|, searched from |skip| bytes on.
  void SkipPast(size_t skip, const char *terminator) {
    const char *found = strstr(text_ + at_ + skip, terminator);
    if (found == nullptr) {
      Fail();
      return;
    }
    at_ = static_cast<size_t>(found - text_) + strlen(terminator);
  }

  void SkipWhiteSpace() {
    while (at_ < size_ && IsWhiteSpace(text_[at_])) ++at_;
  }

  bool Ahead(const char *prefix) const {
    return strncmp(text_ + at_, prefix, strlen(prefix)) == 0;
  }

  bool Fail() {
    ok_ = false;
    return false;
  }

  const char *text_;
  size_t size_;  // tinyxml2 reads up to the first NUL
  std::vector<ElementSpan> *elements_;
  size_t at_ = 0;
  size_t end_tag_ = 0;  // the "<" of the last end tag read
  bool ok_ = true;
};

// Puts |element| and the elements inside it into |order|, and the index
// of each one's parent into |parents|.
void Walk(const tinyxml2::XMLElement *element, int parent,
          std::vector<const tinyxml2::XMLElement *> *order,
          std::vector<int> *parents) {
  int index = static_cast<int>(order->size());
  order->push_back(element);
  parents->push_back(parent);
  for (const tinyxml2::XMLElement *child = element->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    Walk(child, index, order, parents);
  }
}

}  // namespace

const AttributeSpan *ElementSpan::Find(const char *attribute) const {
  for (const AttributeSpan &span : attributes) {
    if (span.name == attribute) return &span;
  }
  return nullptr;
}

bool ScanElements(const std::string &bytes,
                  std::vector<ElementSpan> *elements) {
  elements->clear();
  return Scan(bytes, elements).Document();
}

bool MatchElements(const std::string &bytes, const tinyxml2::XMLDocument &doc,
                   std::vector<const tinyxml2::XMLElement *> *order,
                   std::vector<ElementSpan> *spans) {
  order->clear();
  std::vector<int> parents;
  for (const tinyxml2::XMLElement *element = doc.FirstChildElement();
       element != nullptr; element = element->NextSiblingElement()) {
    Walk(element, -1, order, &parents);
  }
  if (!ScanElements(bytes, spans) || spans->size() != order->size()) {
    return false;
  }
  for (size_t i = 0; i < spans->size(); ++i) {
    const ElementSpan &span = (*spans)[i];
    if (span.name != (*order)[i]->Name() || span.parent != parents[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace inspect
