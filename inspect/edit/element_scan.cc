#include "inspect/edit/element_scan.h"

#include "inspect/base/xml_tokens.h"

namespace inspect {

namespace {

// Builds the spans of the elements from the tokens of their tags.
class Spans {
 public:
  explicit Spans(std::vector<ElementSpan> *elements) : elements_(elements) {}

  // An end tag comes only where an element is open. Where tinyxml2 parses
  // the text, every value comes after its attribute's name.
  void Take(const XmlToken &token) {
    switch (token.kind) {
      case XmlTokenKind::kTagName:
        tag_ = ElementSpan();
        tag_.name = std::string(token.bytes);
        tag_.parent = current_;
        tag_.after_attributes = token.end;
        break;
      case XmlTokenKind::kAttributeName:
        tag_.attributes.push_back({std::string(token.bytes), 0, 0});
        break;
      case XmlTokenKind::kAttributeValue:
        if (tag_.attributes.empty()) break;
        tag_.attributes.back().value_begin = token.begin;
        tag_.attributes.back().value_end = token.end;
        tag_.after_attributes = token.end + 1;
        break;
      case XmlTokenKind::kStartTag:
      case XmlTokenKind::kEmptyTag:
        Open(token);
        break;
      case XmlTokenKind::kEndTag:
        (*elements_)[current_].close = token.begin;
        (*elements_)[current_].end = token.end;
        current_ = (*elements_)[current_].parent;
        break;
      default:
        break;
    }
  }

 private:
  void Open(const XmlToken &tag) {
    tag_.open = tag.begin;
    tag_.inside = tag.end;
    tag_.close = tag.end;
    tag_.end = tag.end;
    tag_.empty = tag.kind == XmlTokenKind::kEmptyTag;
    elements_->push_back(tag_);
    if (!tag_.empty) current_ = static_cast<int>(elements_->size()) - 1;
  }

  std::vector<ElementSpan> *elements_;
  ElementSpan tag_{};  // the tag being read
  int current_ = -1;   // the innermost open element
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

bool MatchElements(const std::string &bytes, const tinyxml2::XMLDocument &doc,
                   std::vector<const tinyxml2::XMLElement *> *order,
                   std::vector<ElementSpan> *spans) {
  order->clear();
  std::vector<int> parents;
  for (const tinyxml2::XMLElement *element = doc.FirstChildElement();
       element != nullptr; element = element->NextSiblingElement()) {
    Walk(element, -1, order, &parents);
  }
  spans->clear();
  Spans scan(spans);
  ReadXmlTokens(bytes, XmlReading::kAsTinyxml2,
                [&scan](const XmlToken &token) { scan.Take(token); });
  if (spans->size() != order->size()) return false;
  for (size_t i = 0; i < spans->size(); ++i) {
    const ElementSpan &span = (*spans)[i];
    if (span.name != (*order)[i]->Name() || span.parent != parents[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace inspect
