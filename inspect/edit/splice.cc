#include "inspect/edit/splice.h"

#include <stdlib.h>
#include <tinyxml2.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/edit/element_scan.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

// The writer's indentation of one level.
constexpr char kIndent[] = "    ";

// Bytes [begin, end) of the file to be replaced by |text|.
struct Edit {
  size_t begin;
  size_t end;
  std::string text;
};

// Makes |edits|, which do not overlap, in |bytes|, from the back, so that
// each keeps its offsets. Of two at one offset the replacement goes first,
// so that an insertion there ends up before what replaced it.
void Apply(std::vector<Edit> edits, std::string *bytes) {
  std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
    return a.begin != b.begin ? a.begin > b.begin : a.end > b.end;
  });
  for (const Edit &edit : edits) {
    bytes->replace(edit.begin, edit.end - edit.begin, edit.text);
  }
}

// The file's bytes, parsed by tinyxml2 as the reader parses them, with
// each element's place in the bytes.
struct Located {
  explicit Located(const std::string &file_bytes)
      : bytes(file_bytes), doc(true, tinyxml2::PRESERVE_WHITESPACE) {}

  // The span of |element|, one of the document's.
  const ElementSpan &SpanOf(const tinyxml2::XMLElement *element) const {
    return spans[std::find(order.begin(), order.end(), element) -
                 order.begin()];
  }

  // The spaces and tabs before |at| on its line, or none when other bytes
  // stand there.
  std::optional<std::string> IndentBefore(size_t at) const {
    size_t start = at;
    while (start > 0 && (bytes[start - 1] == ' ' || bytes[start - 1] == '\t')) {
      --start;
    }
    if (start > 0 && bytes[start - 1] != '\n') return std::nullopt;
    return bytes.substr(start, at - start);
  }

  // The |n|th |name| element in the root's |section| element, or null.
  const tinyxml2::XMLElement *NthChild(const char *section, const char *name,
                                       int n) const {
    tinyxml2::XMLConstHandle child = tinyxml2::XMLConstHandle(doc.RootElement())
                                         .FirstChildElement(section)
                                         .FirstChildElement(name);
    for (int i = 0; i < n; ++i) child = child.NextSiblingElement(name);
    return child.ToElement();
  }

  const std::string &bytes;
  tinyxml2::XMLDocument doc;
  std::vector<const tinyxml2::XMLElement *> order;
  std::vector<ElementSpan> spans;
};

// The edit that sets attribute |name| of |span| to |value|, adding it when
// it is missing.
Edit SetAttribute(const ElementSpan &span, const char *name,
                  const std::string &value) {
  const AttributeSpan *attribute = span.Find(name);
  if (attribute != nullptr) {
    return {attribute->value_begin, attribute->value_end, value};
  }
  return {span.after_attributes, span.after_attributes,
          Format(" %s=\"%s\"", name, value.c_str())};
}

// The edits that make |hex| the whole content of |span| and its size
// attribute |size_name| |size|.
void SetPayload(const ElementSpan &span, const std::string &hex,
                const char *size_name, size_t size, std::vector<Edit> *edits) {
  if (!span.empty) {
    edits->push_back({span.inside, span.close, hex});
  } else if (!hex.empty()) {
    // "/>" becomes ">HEX</Name>".
    edits->push_back(
        {span.inside - 2, span.inside, ">" + hex + "</" + span.name + ">"});
  }
  edits->push_back(SetAttribute(span, size_name, std::to_string(size)));
}

// The Feature element the writer puts for type |type|.
std::string NewFeature(int type, size_t size, const std::string &hex) {
  std::string start =
      Format("<%s %s=\"%d\" %s=\"false\" %s=\"%zu\"", mf::kFeature,
             mf::kFeatureType, type, mf::kDisable, mf::kDataSize, size);
  if (hex.empty()) return start + "/>";
  return start + ">" + hex + "</" + mf::kFeature + ">";
}

// Where the new |feature| goes in |mode|: before |next|, the first feature
// of a higher type, else after |last|, the last feature, else alone inside
// the mode.
Edit PlaceFeature(const Located &file, const ElementSpan &mode,
                  const tinyxml2::XMLElement *next,
                  const tinyxml2::XMLElement *last,
                  const std::string &feature) {
  // The line break the file uses.
  std::string line =
      file.bytes.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  if (next != nullptr || last != nullptr) {
    const ElementSpan &span = file.SpanOf(next != nullptr ? next : last);
    // Beside a feature on a line of its own, on a line of its own, indented
    // alike; else on the same line.
    std::optional<std::string> indent = file.IndentBefore(span.open);
    std::string separator = indent.has_value() ? line + *indent : "";
    if (next != nullptr) return {span.open, span.open, feature + separator};
    return {span.end, span.end, separator + feature};
  }
  std::string indent = file.IndentBefore(mode.open).value_or("");
  std::string inner = indent + kIndent + feature;
  if (mode.empty) {
    return {mode.inside - 2, mode.inside,
            ">" + line + inner + line + indent + "</" + mode.name + ">"};
  }
  // Onto a line of its own before the end tag, where that tag has one.
  std::optional<std::string> end_indent = file.IndentBefore(mode.close);
  if (end_indent.has_value()) {
    size_t start = mode.close - end_indent->size();
    return {start, start, inner + line};
  }
  return {mode.close, mode.close, line + inner + line + indent};
}

// The edit that raises |mode|'s NumOfFeatures, which the reader reads as
// |old_count|, to |count|, the rest of its written form kept (" 05 " ->
// " 06 "); just |count| where the digits are not plainly there (an
// entity).
Edit SetFeatureCount(const std::string &bytes, const ElementSpan &mode,
                     uint32_t old_count, uint32_t count) {
  std::string number = std::to_string(count);
  // Where the attribute is missing and is added, |value| is "" and the
  // edit is kept as it is.
  Edit edit = SetAttribute(mode, mf::kNumOfFeatures, number);
  std::string value = bytes.substr(edit.begin, edit.end - edit.begin);
  // What atoi skips before the digits.
  size_t digits =
      std::min(value.find_first_not_of(" \t\n\v\f\r"), value.size());
  if (digits < value.size() && value[digits] == '+') ++digits;
  size_t end =
      std::min(value.find_first_not_of("0123456789", digits), value.size());
  if (digits >= end ||
      strtoul(value.c_str() + digits, nullptr, 10) != old_count) {
    return edit;
  }
  // Zeros that padded the old number pad the new one to its width.
  if (value[digits] == '0' && number.size() < end - digits) {
    number.insert(0, end - digits - number.size(), '0');
  }
  edit.text = value.substr(0, digits) + number + value.substr(end);
  return edit;
}

// Adds to |edits| those that set the payload in the file whose bytes are
// |bytes|, after parsing them.
std::string SpliceIn(const std::string &bytes,
                     const PayloadSelection &selection, const std::string &hex,
                     size_t size, std::vector<Edit> *edits, Splice *splice) {
  Located file(bytes);
  if (file.doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
    return Format("tinyxml2 does not parse the file (%s)", file.doc.ErrorStr());
  }
  if (!MatchElements(bytes, file.doc, &file.order, &file.spans)) {
    return "the file's markup is not read here as tinyxml2 reads it, so "
           "its elements cannot be found in its bytes";
  }
  if (selection.is_lut) {
    const tinyxml2::XMLElement *lut =
        file.NthChild(lf::kLuts, lf::kLut, selection.position);
    if (lut == nullptr) return "its Lut element is not in the file";
    SetPayload(file.SpanOf(lut), hex, lf::kNumPackets,
               size / tavo::kPccPacketSize, edits);
    return "";
  }
  const tinyxml2::XMLElement *mode =
      file.NthChild(mf::kDispModes, mf::kMode, selection.mode_index);
  if (mode == nullptr) {
    return "its mode is one that NumModes counts but no Mode element holds";
  }
  const tinyxml2::XMLElement *feature = nullptr;
  const tinyxml2::XMLElement *next = nullptr;
  const tinyxml2::XMLElement *last = nullptr;
  for (const tinyxml2::XMLElement *child =
           mode->FirstChildElement(mf::kFeature);
       child != nullptr; child = child->NextSiblingElement(mf::kFeature)) {
    int type = mf::AttributeOrZero(child, mf::kFeatureType);
    // The reader keeps the last feature of a type.
    if (type == selection.type) feature = child;
    if (type > selection.type && next == nullptr) next = child;
    last = child;
  }
  if (feature != nullptr) {
    SetPayload(file.SpanOf(feature), hex, mf::kDataSize, size, edits);
    return "";
  }
  splice->added = true;
  // The declared count, which need not be the number of features, is
  // raised, never set to that number: the tool carries it as declared.
  splice->num_features = selection.num_features + 1;
  if (splice->num_features >= static_cast<uint32_t>(tavo::kMaxFeatures)) {
    return Format(
        "NumOfFeatures would become %u, which the tool refuses (the mode "
        "would hold %u features)",
        splice->num_features, selection.features_held + 1);
  }
  const ElementSpan &mode_span = file.SpanOf(mode);
  edits->push_back(PlaceFeature(file, mode_span, next, last,
                                NewFeature(selection.type, size, hex)));
  edits->push_back(SetFeatureCount(
      file.bytes, mode_span, selection.num_features, splice->num_features));
  return "";
}

}  // namespace

std::string SplicePayload(std::string bytes, const PayloadSelection &selection,
                          const uint8_t *payload, size_t size, Splice *splice) {
  *splice = Splice();
  // The reader reads the element as it is: rewritten in the writer's form
  // it would read alike, but the file would not come back byte for byte.
  splice->unchanged = selection.held &&
                      SameBytes(selection.bytes, selection.size, payload, size);
  std::vector<Edit> edits;
  if (!splice->unchanged) {
    // The parse, as large as the file, goes before the edits are made.
    std::string problem = SpliceIn(bytes, selection, HexText(payload, size),
                                   size, &edits, splice);
    if (!problem.empty()) return problem;
  }
  Apply(std::move(edits), &bytes);
  splice->bytes = std::move(bytes);
  return "";
}

}  // namespace inspect
