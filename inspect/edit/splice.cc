#include "inspect/edit/splice.h"

#include <stdlib.h>
#include <tinyxml2.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/edit/element_scan.h"
#include "inspect/model/findings.h"

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
class Located {
 public:
  explicit Located(const std::string &bytes)
      : bytes_(bytes), doc_(true, tinyxml2::PRESERVE_WHITESPACE) {}

  // "" when tinyxml2's tree and the scan of the bytes agree, element for
  // element.
  std::string Load() {
    if (doc_.Parse(bytes_.data(), bytes_.size()) != tinyxml2::XML_SUCCESS) {
      return Format("tinyxml2 does not parse the file (%s)", doc_.ErrorStr());
    }
    if (!MatchElements(bytes_, doc_, &order_, &spans_)) {
      return "the file's markup is not read here as tinyxml2 reads it, so "
             "its elements cannot be found in its bytes";
    }
    return "";
  }

  const tinyxml2::XMLElement *Root() const { return doc_.FirstChildElement(); }

  // The span of |element|, one of the document's.
  const ElementSpan &SpanOf(const tinyxml2::XMLElement *element) const {
    size_t index =
        std::find(order_.begin(), order_.end(), element) - order_.begin();
    return spans_[index];
  }

  // What separates an element from |span| that stands on a line of its
  // own: a line break and |span|'s indentation; "" when |span| shares its
  // line with other markup.
  std::string Separator(const ElementSpan &span) const {
    std::string indent = IndentOf(span);
    bool own_line = span.open == indent.size() ||
                    bytes_[span.open - indent.size() - 1] == '\n';
    return own_line ? LineBreak() + indent : "";
  }

  // The white space before |span| on its line, or "" when other bytes
  // stand there.
  std::string IndentOf(const ElementSpan &span) const {
    size_t start = BlanksBefore(span.open, 0);
    if (start > 0 && bytes_[start - 1] != '\n') return "";
    return bytes_.substr(start, span.open - start);
  }

  // Where the spaces and tabs that end at |at| begin, |floor| at the
  // earliest.
  size_t BlanksBefore(size_t at, size_t floor) const {
    while (at > floor && (bytes_[at - 1] == ' ' || bytes_[at - 1] == '\t')) {
      --at;
    }
    return at;
  }

  // The line break the file uses.
  std::string LineBreak() const {
    return bytes_.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  }

  const std::string &bytes() const { return bytes_; }

 private:
  const std::string &bytes_;
  tinyxml2::XMLDocument doc_;
  std::vector<const tinyxml2::XMLElement *> order_;
  std::vector<ElementSpan> spans_;
};

const tinyxml2::XMLElement *NthChild(const tinyxml2::XMLElement *parent,
                                     const char *name, int n) {
  const tinyxml2::XMLElement *child =
      parent != nullptr ? parent->FirstChildElement(name) : nullptr;
  for (int i = 0; child != nullptr && i < n; ++i) {
    child = child->NextSiblingElement(name);
  }
  return child;
}

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

// The edit that makes |hex| the whole content of |span|.
Edit SetContent(const ElementSpan &span, const std::string &hex) {
  if (!span.empty) return {span.inside, span.close, hex};
  if (hex.empty()) return {span.inside, span.inside, ""};
  // "/>" becomes ">HEX</Name>".
  return {span.inside - 2, span.inside, ">" + hex + "</" + span.name + ">"};
}

// The Feature element the writer puts for type |type|.
std::string NewFeature(int type, size_t size, const std::string &hex) {
  std::string start =
      Format("<%s %s=\"%d\" %s=\"false\" %s=\"%zu\"", mf::kFeature,
             mf::kFeatureType, type, mf::kDisable, mf::kDataSize, size);
  if (hex.empty()) return start + "/>";
  return start + ">" + hex + "</" + mf::kFeature + ">";
}

// Where the new Feature goes in |mode_element|: before the first feature
// of a higher type, else after the last, else alone inside the mode.
Edit PlaceFeature(const Located &file, const tinyxml2::XMLElement *mode_element,
                  int type, const std::string &feature) {
  std::string line = file.LineBreak();
  const tinyxml2::XMLElement *last = nullptr;
  for (const tinyxml2::XMLElement *child =
           mode_element->FirstChildElement(mf::kFeature);
       child != nullptr; child = child->NextSiblingElement(mf::kFeature)) {
    if (mf::AttributeOrZero(child, mf::kFeatureType) > type) {
      const ElementSpan &next = file.SpanOf(child);
      return {next.open, next.open, feature + file.Separator(next)};
    }
    last = child;
  }
  if (last != nullptr) {
    const ElementSpan &previous = file.SpanOf(last);
    return {previous.end, previous.end, file.Separator(previous) + feature};
  }
  const ElementSpan &mode = file.SpanOf(mode_element);
  std::string indent = file.IndentOf(mode);
  std::string inner = indent + kIndent + feature;
  if (mode.empty) {
    return {mode.inside - 2, mode.inside,
            ">" + line + inner + line + indent + "</" + mode.name + ">"};
  }
  // Onto a line of its own before the end tag, where that tag has one.
  size_t start = file.BlanksBefore(mode.close, mode.inside);
  if (start > mode.inside && file.bytes()[start - 1] == '\n') {
    return {start, start, inner + line};
  }
  return {mode.close, mode.close, line + inner + line + indent};
}

std::string SpliceLut(const Located &file, const PayloadSelection &selection,
                      const std::string &hex, size_t size,
                      std::vector<Edit> *edits) {
  const tinyxml2::XMLElement *section =
      file.Root()->FirstChildElement(lf::kLuts);
  const tinyxml2::XMLElement *lut =
      NthChild(section, lf::kLut, selection.position);
  if (lut == nullptr) return "its Lut element is not in the file";
  const ElementSpan &span = file.SpanOf(lut);
  edits->push_back(SetContent(span, hex));
  edits->push_back(SetAttribute(span, lf::kNumPackets,
                                std::to_string(size / tavo::kPccPacketSize)));
  return "";
}

// The raw |value| of a NumOfFeatures that the reader reads as |old_count|,
// with that number made |count| and the rest of its form kept (" 05 " ->
// " 06 "); just |count| where the digits are not plainly there (an entity).
std::string Recounted(const std::string &value, uint32_t old_count,
                      uint32_t count) {
  std::string number = std::to_string(count);
  // What atoi skips before the digits.
  size_t digits = value.find_first_not_of(" \t\n\v\f\r");
  if (digits != std::string::npos && value[digits] == '+') ++digits;
  size_t end = digits >= value.size()
                   ? std::string::npos
                   : value.find_first_not_of("0123456789", digits);
  if (end == std::string::npos) end = value.size();
  if (digits >= end ||
      strtoul(value.c_str() + digits, nullptr, 10) != old_count) {
    return number;
  }
  // Zeros that padded the old number pad the new one to its width.
  if (value[digits] == '0' && number.size() < end - digits) {
    number.insert(0, end - digits - number.size(), '0');
  }
  return value.substr(0, digits) + number + value.substr(end);
}

// The edit that raises |mode|'s NumOfFeatures from |old_count| to |count|.
Edit SetFeatureCount(const Located &file, const ElementSpan &mode,
                     uint32_t old_count, uint32_t count) {
  const AttributeSpan *attribute = mode.Find(mf::kNumOfFeatures);
  if (attribute == nullptr) {
    return SetAttribute(mode, mf::kNumOfFeatures, std::to_string(count));
  }
  std::string value = file.bytes().substr(
      attribute->value_begin, attribute->value_end - attribute->value_begin);
  return {attribute->value_begin, attribute->value_end,
          Recounted(value, old_count, count)};
}

std::string SpliceFeature(const Located &file,
                          const PayloadSelection &selection,
                          const std::string &hex, size_t size,
                          std::vector<Edit> *edits, Splice *splice) {
  const tinyxml2::XMLElement *section =
      file.Root()->FirstChildElement(mf::kDispModes);
  const tinyxml2::XMLElement *mode =
      NthChild(section, mf::kMode, selection.mode_index);
  if (mode == nullptr) {
    return "its mode is one that NumModes counts but no Mode element holds";
  }
  const tinyxml2::XMLElement *feature = nullptr;
  for (const tinyxml2::XMLElement *child =
           mode->FirstChildElement(mf::kFeature);
       child != nullptr; child = child->NextSiblingElement(mf::kFeature)) {
    // The reader keeps the last feature of a type.
    if (mf::AttributeOrZero(child, mf::kFeatureType) == selection.type) {
      feature = child;
    }
  }
  if (feature != nullptr) {
    const ElementSpan &span = file.SpanOf(feature);
    edits->push_back(SetContent(span, hex));
    edits->push_back(SetAttribute(span, mf::kDataSize, std::to_string(size)));
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
  edits->push_back(PlaceFeature(file, mode, selection.type,
                                NewFeature(selection.type, size, hex)));
  edits->push_back(SetFeatureCount(
      file, file.SpanOf(mode), selection.num_features, splice->num_features));
  return "";
}

}  // namespace

std::string SplicePayload(std::string bytes, const PayloadSelection &selection,
                          const uint8_t *payload, size_t size, Splice *splice) {
  *splice = Splice();
  // The reader reads the element as it is: rewritten in the writer's form
  // it would read alike, but the file would not come back byte for byte.
  if (selection.held &&
      SameBytes(selection.bytes, selection.size, payload, size)) {
    splice->unchanged = true;
    splice->bytes = std::move(bytes);
    return "";
  }
  std::vector<Edit> edits;
  {
    // The parse, as large as the file, goes before the edits are made.
    Located file(bytes);
    std::string problem = file.Load();
    if (!problem.empty()) return problem;
    std::string hex = HexText(payload, size);
    problem = selection.is_lut
                  ? SpliceLut(file, selection, hex, size, &edits)
                  : SpliceFeature(file, selection, hex, size, &edits, splice);
    if (!problem.empty()) return problem;
  }
  Apply(std::move(edits), &bytes);
  splice->bytes = std::move(bytes);
  return "";
}

}  // namespace inspect
