#include "inspect/base/xml_tokens.h"

#include <string.h>
#include <tinyxml2.h>

#include <algorithm>

namespace inspect {

namespace {

class Reader {
 public:
  Reader(const std::string &text, XmlReading reading,
         const std::function<void(const XmlToken &)> &visit)
      : text_(text.c_str()),
        size_(strlen(text_)),
        reading_(reading),
        visit_(visit) {}

  size_t Run() {
    while (!stopped_ && at_ < size_) Node();
    return at_;
  }

 private:
  // A text up to the next "<", then the construct there.
  void Node() {
    const void *next = memchr(text_ + at_, '<', size_ - at_);
    size_t start = at_;
    at_ = next != nullptr ? static_cast<const char *>(next) - text_ : size_;
    Emit(XmlTokenKind::kText, start, at_);
    if (at_ == size_) return;
    if (Ahead("<?")) {
      Enclosed(XmlTokenKind::kInstruction, 2, "?>");
    } else if (Ahead("<!--")) {
      Enclosed(XmlTokenKind::kComment, 4, "-->");
    } else if (Ahead("<![CDATA[")) {
      Enclosed(XmlTokenKind::kCData, 9, "]]>");
    } else if (Ahead("<!")) {
      Enclosed(XmlTokenKind::kDeclaration, 2, ">");
    } else if (reading_ == XmlReading::kProlog) {
      stopped_ = true;
    } else {
      Tag();
    }
  }

  // A construct, or a value, whose inside starts |opening| bytes on and
  // ends at the first |terminator|.
  void Enclosed(XmlTokenKind kind, size_t opening, const char *terminator) {
    const char *found = strstr(text_ + at_ + opening, terminator);
    size_t end = found != nullptr ? found - text_ : size_;
    Emit(kind, at_ + opening, end);
    at_ = found != nullptr ? end + strlen(terminator) : size_;
  }

  // A tag, from its "<" to the first ">" outside quotes.
  void Tag() {
    size_t open = at_++;
    bool closing = false;
    bool named = false;
    while (at_ < size_ && text_[at_] != '>' && !Ahead("/>")) {
      char c = text_[at_];
      if (c == '"' || c == '\'') {
        const char quote[] = {c, '\0'};
        Enclosed(XmlTokenKind::kAttributeValue, 1, quote);
      } else if (IsDelimiter(c)) {
        closing |= c == '/';
        ++at_;
      } else {
        size_t begin = at_;
        while (!IsDelimiter(text_[at_])) ++at_;
        Emit(named ? XmlTokenKind::kAttributeName : XmlTokenKind::kTagName,
             begin, at_);
        named = true;
      }
    }
    if (at_ == size_) return;  // a tag left unfinished is no tag
    bool empty = text_[at_] == '/';
    at_ += empty ? 2 : 1;
    XmlTokenKind kind = XmlTokenKind::kStartTag;
    if (empty) {
      kind = XmlTokenKind::kEmptyTag;
    } else if (closing) {
      kind = XmlTokenKind::kEndTag;
      // tinyxml2 reads nothing after an end tag at the document's level.
      stopped_ = depth_ == 0 && reading_ == XmlReading::kAsTinyxml2;
      if (depth_ > 0) --depth_;
    } else {
      ++depth_;
    }
    Emit(kind, open, at_);
  }

  static bool IsDelimiter(char c) {
    return tinyxml2::XMLUtil::IsWhiteSpace(c) || c == '=' || c == '/' ||
           c == '>' || c == '"' || c == '\'' || c == '\0';
  }

  bool Ahead(const char *prefix) const {
    return strncmp(text_ + at_, prefix, strlen(prefix)) == 0;
  }

  void Emit(XmlTokenKind kind, size_t begin, size_t end) {
    if (!stopped_) visit_({kind, begin, end, {text_ + begin, end - begin}});
  }

  const char *text_;
  size_t size_;  // tinyxml2 reads up to the first NUL
  XmlReading reading_;
  const std::function<void(const XmlToken &)> &visit_;
  size_t at_ = 0;
  size_t depth_ = 0;  // of the elements open here
  bool stopped_ = false;
};

}  // namespace

size_t ReadXmlTokens(const std::string &text, XmlReading reading,
                     const std::function<void(const XmlToken &)> &visit) {
  return Reader(text, reading, visit).Run();
}

std::vector<XmlNodeLine> XmlNodeLines(const std::string &text) {
  std::vector<XmlNodeLine> lines;
  const char *bytes = text.c_str();
  const char *cr = bytes;
  while ((cr = strchr(cr, '\r')) != nullptr && cr[1] == '\n') ++cr;
  if (cr == nullptr) return lines;  // tinyxml2 counts as XML does
  size_t counted = 0;
  XmlNodeLine at = {1, 1};
  // Nodes start in the order of the text, so the count only moves on, a
  // payload of megabytes at a time: line feeds counted in bulk, and the
  // rare carriage returns looked at one by one.
  auto node_at = [&](size_t start) {
    int feeds =
        static_cast<int>(std::count(bytes + counted, bytes + start, '\n'));
    at.line += feeds;
    at.lf_line += feeds;
    for (const void *cr = memchr(bytes + counted, '\r', start - counted);
         cr != nullptr;) {
      const char *next = static_cast<const char *>(cr) + 1;
      at.line += *next != '\n' ? 1 : 0;
      cr = memchr(next, '\r', bytes + start - next);
    }
    counted = start;
    lines.push_back(at);
  };
  // A text is read before each construct, if only an empty one, so that
  // each construct starts where the last text ends, at its "<".
  size_t construct = 0;
  ReadXmlTokens(text, XmlReading::kAsTinyxml2, [&](const XmlToken &token) {
    if (token.kind == XmlTokenKind::kText) {
      size_t first = token.begin;
      while (first < token.end &&
             tinyxml2::XMLUtil::IsWhiteSpace(bytes[first])) {
        ++first;
      }
      // White space alone makes no node.
      if (first < token.end) node_at(first);
      construct = token.end;
    } else if (token.kind != XmlTokenKind::kTagName &&
               token.kind != XmlTokenKind::kAttributeName &&
               token.kind != XmlTokenKind::kAttributeValue &&
               token.kind != XmlTokenKind::kEndTag) {
      // A construct is a node, but for the parts of a tag and an end tag.
      node_at(construct);
    }
  });
  return lines;
}

}  // namespace inspect
