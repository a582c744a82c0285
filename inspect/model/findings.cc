#include "inspect/model/findings.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "calib_db/mode_format.h"
#include "inspect/model/codes.h"

namespace inspect {

namespace mf = tavo::mode_format;

void Findings::TakeLines(const tinyxml2::XMLDocument *doc,
                         const std::vector<XmlNodeLine> &lines) {
  lines_.clear();
  size_t next = 0;
  // In document order, which is the order of |lines|, up to a node that is
  // not where the text put it.
  const tinyxml2::XMLNode *node = doc->FirstChild();
  while (node != nullptr && next < lines.size() &&
         lines[next].lf_line == node->GetLineNum()) {
    lines_[node] = lines[next++].line;
    const tinyxml2::XMLNode *up = node;
    node = node->FirstChild();
    while (node == nullptr && up != doc) {
      node = up->NextSibling();
      up = up->Parent();
    }
  }
  if (node != nullptr || next != lines.size()) lines_.clear();
}

int Findings::LineOf(const tinyxml2::XMLNode *node) const {
  auto found = lines_.find(node);
  return found != lines_.end() ? found->second : node->GetLineNum();
}

void Findings::Identify(const tinyxml2::XMLElement *mode,
                        const tavo::DispMode &record) {
  identified_[mode] = {record.disp_id, record.mode_id};
}

FindingPlace Findings::PlaceOf(const tinyxml2::XMLElement *element) const {
  FindingPlace place;
  // Up to the Mode element under Disp_Modes, |below| the element directly
  // under it when |element| lies deeper.
  const tinyxml2::XMLElement *below = nullptr;
  const tinyxml2::XMLElement *at = element;
  for (const tinyxml2::XMLElement *parent; at != nullptr;
       below = at, at = parent) {
    parent = at->Parent() != nullptr ? at->Parent()->ToElement() : nullptr;
    if (parent != nullptr && strcmp(at->Name(), mf::kMode) == 0 &&
        strcmp(parent->Name(), mf::kDispModes) == 0) {
      break;
    }
  }
  if (at == nullptr) return place;
  place.mode = mf::AttributeOrZero(at, mf::kModeId);
  if (at->Attribute(mf::kDisplayId, nullptr) != nullptr) {
    place.display = mf::AttributeOrZero(at, mf::kDisplayId);
  }
  auto identified = identified_.find(at);
  if (identified != identified_.end()) {
    place.display = identified->second.first;
    place.mode = identified->second.second;
  }
  if (below != nullptr && strcmp(below->Name(), mf::kFeature) == 0) {
    place.feature = mf::AttributeOrZero(below, mf::kFeatureType);
  }
  return place;
}

void Findings::Warn(const tinyxml2::XMLElement *element, const char *code,
                    std::string message) {
  WarnAt(LineOf(element), code, std::move(message));
  list_.back().place = PlaceOf(element);
}

void Findings::WarnAt(int line, const char *code, std::string message) {
  if (FindCode(code) == nullptr) abort();  // every code is in the list
  list_.push_back({line, false, code, std::move(message)});
}

void Findings::Fail(int line, const std::string &reason) {
  list_.push_back({line, true, "unreadable", "the tool fails: " + reason});
}

void Findings::Append(const Findings &others) {
  list_.insert(list_.end(), others.list_.begin(), others.list_.end());
}

std::vector<Finding> Findings::Sorted() const {
  std::vector<Finding> sorted = list_;
  std::stable_sort(
      sorted.begin(), sorted.end(),
      [](const Finding &a, const Finding &b) { return a.line < b.line; });
  return sorted;
}

}  // namespace inspect
