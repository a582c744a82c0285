// The constructs of an XML text as tinyxml2 reads them, with their byte
// offsets: tinyxml2 gives a tree but no offsets, and neither an edit that
// keeps the rest of the text byte for byte nor a look at the characters of
// each part can do without them.
#ifndef INSPECT_BASE_XML_TOKENS_H_
#define INSPECT_BASE_XML_TOKENS_H_

#include <stddef.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace inspect {

enum class XmlTokenKind {
  kText,            // between two constructs, its white space included
  kComment,         // inside "<!--" and "-->"
  kCData,           // inside "<![CDATA[" and "]]>"
  kInstruction,     // inside "<?" and "?>"
  kDeclaration,     // inside "<!" and ">"
  kTagName,         // the first name in a tag
  kAttributeName,   // a later one
  kAttributeValue,  // between its quotes, as written
  // A whole tag, from its "<" to just past its ">", after its parts.
  kStartTag,
  kEmptyTag,  // "<Name/>", and also "</Name/>", which tinyxml2 reads so
  kEndTag,
};

struct XmlToken {
  XmlTokenKind kind;
  size_t begin;  // [begin, end) in the text
  size_t end;
  std::string_view bytes;  // the text's bytes [begin, end)
};

enum class XmlReading {
  // Stops after an end tag at the document's level, as tinyxml2 does.
  kAsTinyxml2,
  // Goes on to the end of the text.
  kToTheEnd,
  // Stops before the first tag: the prolog alone.
  kProlog,
};

// Reads |text| up to its first NUL and calls |visit| with each token in
// the order of the text; the bytes between tokens are delimiters: "<",
// "/", "=", quotes, white space in tags, "-->" and the like. A text that
// tinyxml2 parses is read as tinyxml2 reads it: comments, CDATA sections,
// processing instructions and <!...> declarations ended by the first of
// their terminators, a tag's names of the bytes that are not white space
// (as tinyxml2 tells it), "=", "/", ">" or quotes, and values in either
// quote holding any byte but that quote. Any other text is read as
// leniently as tools that look for what others refuse: a tag runs to a
// ">" outside quotes, its first name being the tag's, and a construct
// left unfinished runs to the end. Returns where the reading ended: at
// the first NUL, past the end tag that stops it, or at the tag that ends
// the prolog.
size_t ReadXmlTokens(const std::string &text, XmlReading reading,
                     const std::function<void(const XmlToken &)> &visit);

// Whether the byte at |at|, in a NUL-ended text, ends a line as XML counts
// lines: a line feed, or a carriage return that none follows.
inline bool EndsXmlLine(const char *at) {
  return *at == '\n' || (*at == '\r' && at[1] != '\n');
}

// Where a node starts, on two counts of lines.
struct XmlNodeLine {
  int line;     // as XML counts them
  int lf_line;  // as tinyxml2 counts them, by line feeds alone
};

// The line of each node tinyxml2 makes of |text|, in document order (the
// document's own node left out): of an element's, comment's or other
// construct's "<", of a text's first byte that is not white space.
// tinyxml2 counts a lone carriage return as no line end; where |text|
// has none before its first NUL, its lines are XML's, and none are given.
std::vector<XmlNodeLine> XmlNodeLines(const std::string &text);

}  // namespace inspect

#endif  // INSPECT_BASE_XML_TOKENS_H_
