#include "inspect/edit/element_scan.h"

#include "inspect/base/xml_tokens.h"

namespace inspect {

namespace {

// Puts the elements inside |node| into |order|, in document order.
void Walk(const tinyxml2::XMLNode *node,
          std::vector<const tinyxml2::XMLElement *> *order) {
  for (const tinyxml2::XMLElement *child = node->FirstChildElement();
       child != nullptr; child = child->NextSiblingElement()) {
    order->push_back(child);
    Walk(child, order);
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
  Walk(&doc, order);
  spans->clear();
  ElementSpan tag{};  // the tag being read
  int current = -1;   // the innermost open element
  // An end tag comes only where an element is open. Where tinyxml2 parses
  // the text, every value comes after its attribute's name.
  ReadXmlTokens(bytes, XmlReading::kAsTinyxml2, [&](const XmlToken &token) {
    switch (token.kind) {
      case XmlTokenKind::kTagName:
        tag = ElementSpan();
        tag.name = std::string(token.bytes);
        tag.parent = current;
        tag.after_attributes = token.end;
        break;
      case XmlTokenKind::kAttributeName:
        tag.attributes.push_back({std::string(token.bytes), 0, 0});
        break;
      case XmlTokenKind::kAttributeValue:
        if (tag.attributes.empty()) break;
        tag.attributes.back().value_begin = token.begin;
        tag.attributes.back().value_end = token.end;
        tag.after_attributes = token.end + 1;
        break;
      case XmlTokenKind::kStartTag:
      case XmlTokenKind::kEmptyTag:
        tag.open = token.begin;
        tag.inside = token.end;
        tag.close = token.end;
        tag.end = token.end;
        tag.empty = token.kind == XmlTokenKind::kEmptyTag;
        spans->push_back(tag);
        if (!tag.empty) current = static_cast<int>(spans->size()) - 1;
        break;
      case XmlTokenKind::kEndTag:
        (*spans)[current].close = token.begin;
        (*spans)[current].end = token.end;
        current = (*spans)[current].parent;
        break;
      default:
        break;
    }
  });
  if (spans->size() != order->size()) return false;
  for (size_t i = 0; i < spans->size(); ++i) {
    const ElementSpan &span = (*spans)[i];
    // A span's parent comes before it, so it indexes |order| too.
    const tinyxml2::XMLNode *parent = &doc;
    if (span.parent >= 0) parent = (*order)[span.parent];
    if (span.name != (*order)[i]->Name() || (*order)[i]->Parent() != parent) {
      return false;
    }
  }
  return true;
}

}  // namespace inspect
