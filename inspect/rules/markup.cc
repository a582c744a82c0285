// The file's bytes as other XML tools see them: tinyxml2 reads markup and
// characters that they refuse (a bare "&", "<" in an attribute value, "--"
// in a comment, bytes that are not UTF-8, control characters), and the
// tool writes a Mode's Name as it read it, so that what it copies can make
// its output XML that they refuse or read otherwise.
#include <ctype.h>
#include <iconv.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "calib_db/mode_format.h"
#include "inspect/base/byte_span.h"
#include "inspect/base/text.h"
#include "inspect/base/xml_tokens.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace mf = tavo::mode_format;

namespace {

enum class Kind {
  kBareAmpersand,
  kUnknownEntity,
  kDeclaredEntity,  // one the file's DTD declares, which others expand
  kLessThan,
  kDoubleHyphen,
  kNotUtf8,
  kForbidden,        // a character XML does not allow, as a byte or a reference
  kNul,              // a reference to character 0, where tinyxml2 ends the text
  kNameSpace,        // a tab or line break in a Name
  kLateDeclaration,  // an XML declaration after white space
  kSecondDeclaration,  // an XML declaration after another
  kEndTagOutside,      // an end tag with no element open
  kNulByte,            // a NUL byte, where tinyxml2 ends the text
  kTextOutside,        // text before or after the root element
};

struct Problem {
  Kind kind;
  int line;
  std::string detail;  // the first occurrence: "byte 0xE9", "&foo;"
  std::string where;   // "Name", "a comment"
  bool in_name;        // in the Name of a Mode, which the tool copies
  int count;
  std::string declared = "";  // a declared entity's text
  // Of white space in a Name, the other kinds after the first, each
  // named once: "a line feed".
  std::vector<std::string> others = {};
};

bool IsEntityNameCharacter(char c) {
  return (c & 0x80) == 0 && tinyxml2::XMLUtil::IsNameChar(c);
}

bool IsAllowed(unsigned long code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  if (code >= 0xD800 && code <= 0xDFFF) return false;
  return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

std::string WhiteSpaceName(unsigned long code) {
  return code == '\t'   ? "a tab"
         : code == '\n' ? "a line feed"
                        : "a carriage return";
}

// What the tool does with it, after "other XML tools refuse the file".
std::string Consequence(const Problem &p) {
  switch (p.kind) {
    case Kind::kBareAmpersand:
      return p.in_name ? "; the tool reads a \"&\" and writes it escaped, "
                         "\"&amp;\""
                       : "; the tool reads a \"&\"";
    case Kind::kUnknownEntity:
      return "; the tool reads it as text" +
             (p.in_name ? ", written \"&amp;" + p.detail.substr(1) + "\""
                        : std::string());
    case Kind::kLessThan:
      return p.in_name ? "; the tool reads a \"<\" and writes it escaped, "
                         "\"&lt;\""
                       : "; the tool reads a \"<\"";
    case Kind::kDoubleHyphen:
      return "; the tool skips the comment, and its output does not carry it";
    case Kind::kNul:
      return "; the tool ends the text there";
    case Kind::kLateDeclaration:
      return "; the tool reads it all the same, and writes its own "
             "declaration at the start of its output";
    case Kind::kSecondDeclaration:
      return "; the tool ignores it, and writes one declaration of its own";
    case Kind::kEndTagOutside:
      return "; the tool reads nothing after it, and its output leaves out "
             "what follows";
    case Kind::kNulByte:
      return "; tinyxml2 reads the file only up to it, so that the tool "
             "reads none of the " +
             p.detail + " after it, and its output leaves them out";
    case Kind::kTextOutside:
      return "; the tool ignores it, and its output leaves it out";
    case Kind::kNotUtf8:
    case Kind::kForbidden:
      return p.in_name ? ", and the tool copies it into its output's Name, "
                         "which they refuse too"
                       : "";
    case Kind::kNameSpace:
    case Kind::kDeclaredEntity:
      break;
  }
  return "";
}

// What was found and where.
std::string What(const Problem &p) {
  std::string in = " in " + p.where;
  switch (p.kind) {
    case Kind::kBareAmpersand:
      return "a bare \"&\"" + in;
    case Kind::kUnknownEntity:
      return Quote(p.detail) + in + " is no XML entity";
    case Kind::kDeclaredEntity:
      return Quote(p.detail) + in + " is an entity the file's DTD declares";
    case Kind::kLessThan:
      return "a \"<\"" + in;
    case Kind::kDoubleHyphen:
      return "\"--\" inside a comment";
    case Kind::kNotUtf8:
      return p.detail + in + " is not UTF-8";
    case Kind::kForbidden:
    case Kind::kNul:
      return p.detail + in + " is a character XML does not allow";
    case Kind::kLateDeclaration:
      return "the XML declaration is not at the start of the file (white "
             "space is before it)";
    case Kind::kSecondDeclaration:
      return "a second XML declaration";
    case Kind::kEndTagOutside:
      return "an end tag " + p.detail + " outside the root element";
    case Kind::kNulByte:
      return "a NUL byte (0x00), a character XML does not allow";
    case Kind::kTextOutside:
      return p.detail + " the root element";
    case Kind::kNameSpace:
      break;
  }
  std::string kinds = p.detail;
  for (size_t i = 0; i < p.others.size(); ++i) {
    // A reference's name ends in a comma of its own.
    bool last = i + 1 == p.others.size();
    kinds += last ? " and " : kinds.back() == ',' ? " " : ", ";
    kinds += p.others[i];
  }
  return kinds + in;
}

std::string Message(const Problem &p) {
  std::string more = p.count > 1
                         ? Format(" (and %d more on this line)", p.count - 1)
                         : std::string();
  if (!p.others.empty()) {
    int kinds = static_cast<int>(p.others.size()) + 1;
    return What(p) +
           (p.count > kinds ? Format(" (%d on this line)", p.count)
                            : std::string()) +
           ": the tool writes them unchanged, and other XML readers read "
           "them in its output as spaces";
  }
  if (p.kind == Kind::kNameSpace) {
    return What(p) + more +
           ": the tool writes it unchanged, and other XML readers read it in "
           "its output as a space";
  }
  if (p.kind == Kind::kDeclaredEntity) {
    return What(p) + more + ": other XML readers read " + Quote(p.declared) +
           "; the tool reads the characters " + Quote(p.detail) +
           (p.in_name ? " and writes \"&amp;" + p.detail.substr(1) + "\""
                      : std::string());
  }
  // Some readers (xmllint) end the file at a NUL after the root, as
  // tinyxml2 does, rather than refuse it.
  const char *refused = p.kind == Kind::kNulByte
                            ? ": strict XML tools refuse the file, others "
                              "stop reading there"
                            : ": other XML tools refuse the file";
  return What(p) + more + refused + Consequence(p);
}

// Where a byte is, as the parts of the file differ in what they can hold.
enum class Part { kText, kCData, kValue, kComment, kMarkup };

Part PartOf(XmlTokenKind kind) {
  switch (kind) {
    case XmlTokenKind::kText:
      return Part::kText;
    case XmlTokenKind::kCData:
      return Part::kCData;
    case XmlTokenKind::kAttributeValue:
      return Part::kValue;
    case XmlTokenKind::kComment:
      return Part::kComment;
    default:
      return Part::kMarkup;
  }
}

// How other XML readers take the encoding an XML declaration names; the
// tool reads UTF-8 whatever it names.
enum class Encoding {
  kUtf8,     // as the tool does
  kAscii,    // refusing bytes beyond ASCII
  kWide,     // two or four bytes to a character, which the bytes are not in
  kOther,    // reading bytes beyond ASCII as other characters
  kUnknown,  // a name they do not know, for which they refuse the file
};

// Whether other readers know the encoding |name|: xmllint asks the
// system's converter, and knows some names of its own beside. A name it
// may know is taken as known, so that no refusal is claimed that is not.
bool IsKnownEncoding(const std::string &name) {
  for (const char *own : {"ISO-LATIN-", "ASCII"}) {
    if (strncasecmp(name.c_str(), own, strlen(own)) == 0) return true;
  }
  std::string letters;
  for (char c : name) {
    if (isalnum(static_cast<unsigned char>(c))) letters += c;
  }
  for (const std::string &form : {name, letters}) {
    iconv_t converter = iconv_open("UTF-8", form.c_str());
    if (converter != reinterpret_cast<iconv_t>(-1)) {
      iconv_close(converter);
      return true;
    }
  }
  return false;
}

Encoding EncodingNamed(const std::string &name) {
  auto starts = [&name](const char *prefix) {
    return strncasecmp(name.c_str(), prefix, strlen(prefix)) == 0;
  };
  if (name.empty() || strcasecmp(name.c_str(), "UTF-8") == 0) {
    return Encoding::kUtf8;
  }
  if (strcasecmp(name.c_str(), "US-ASCII") == 0 ||
      strcasecmp(name.c_str(), "ASCII") == 0) {
    return Encoding::kAscii;
  }
  for (const char *wide : {"UTF-16", "UTF-32", "UCS-2", "UCS-4", "UTF16",
                           "UTF32", "ISO-10646-UCS"}) {
    if (starts(wide)) return Encoding::kWide;
  }
  return IsKnownEncoding(name) ? Encoding::kOther : Encoding::kUnknown;
}

// The encoding |declaration|, the inside of "<?xml ...?>", names, or "".
std::string DeclaredEncoding(std::string_view declaration) {
  size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return "";
  at = declaration.find_first_of("\"'", at);
  if (at == std::string_view::npos) return "";
  size_t end = declaration.find(declaration[at], at + 1);
  if (end == std::string_view::npos) return "";
  return std::string(declaration.substr(at + 1, end - at - 1));
}

bool IsXmlDeclaration(std::string_view instruction) {
  return instruction.substr(0, 3) == "xml" &&
         (instruction.size() == 3 ||
          tinyxml2::XMLUtil::IsWhiteSpace(instruction[3]));
}

// The parts of the file as tinyxml2 reads them, and past where it stops,
// byte by byte.
class Scanner {
 public:
  Scanner(const std::string &bytes, InternalDtd *dtd, Findings *findings)
      : bytes_(bytes.c_str()),
        size_(bytes.size()),
        dtd_(dtd),
        findings_(findings) {}

  // The token, after the delimiters before it, which are markup.
  void Take(const XmlToken &token) {
    Look(Part::kMarkup, token.begin);
    int line = line_;
    Look(PartOf(token.kind), token.end);
    if (depth_ == 0) OutsideRoot(token);
    if (token.kind == XmlTokenKind::kStartTag) ++depth_;
    if (token.kind == XmlTokenKind::kEndTag) EndTag(token);
    switch (token.kind) {
      case XmlTokenKind::kInstruction:
        if (IsXmlDeclaration(token.bytes)) Declaration(token, line);
        break;
      case XmlTokenKind::kTagName:
        element_ = token.bytes;
        tag_line_ = line;
        break;
      case XmlTokenKind::kAttributeName:
        attribute_ = token.bytes;
        break;
      case XmlTokenKind::kStartTag:
        opened_ = element_;
        opened_line_ = tag_line_;
        element_ = {};  // a tag's name counts for no other tag
        break;
      case XmlTokenKind::kEmptyTag:
      case XmlTokenKind::kEndTag:
        opened_ = {};
        element_ = {};
        break;
      default:
        break;
    }
  }

  // Reports what was found, with the delimiters from the last token to
  // |end|, the end of the reading.
  void Finish(size_t end) {
    Look(Part::kMarkup, end);
    if (end < size_) {
      NoteAt(line_, Kind::kNulByte, Count(size_ - end - 1, "byte"));
    }
    EncodingFound();
    Flush();
  }

 private:
  // An XML declaration, whose "<?" is on |line|.
  void Declaration(const XmlToken &token, int line) {
    if (++declarations_ > 1) {
      NoteAt(line, Kind::kSecondDeclaration, "");
      return;
    }
    // tinyxml2 passes over a byte order mark, as other readers do.
    size_t start = strncmp(bytes_, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    if (token.begin - 2 != start) NoteAt(line, Kind::kLateDeclaration, "");
    encoding_ = DeclaredEncoding(token.bytes);
    declaration_line_ = line;
  }

  // A token at the document's level, where XML allows no text: the root
  // is seen at its tag, and the DTD's subset is no text.
  void OutsideRoot(const XmlToken &token) {
    bool tag = token.kind == XmlTokenKind::kStartTag ||
               token.kind == XmlTokenKind::kEmptyTag;
    bool text =
        token.kind == XmlTokenKind::kText || token.kind == XmlTokenKind::kCData;
    if (tag) root_seen_ = true;
    // tinyxml2 reads nothing after an end tag there: that one is reported.
    if (!text || ended_outside_ || token.begin < dtd_->end) return;
    size_t first = token.begin;
    while (first < token.end &&
           tinyxml2::XMLUtil::IsWhiteSpace(bytes_[first])) {
      ++first;
    }
    if (first == token.end && token.kind == XmlTokenKind::kText) return;
    int line = line_;
    for (size_t at = first; at < token.end; ++at) {
      line -= EndsXmlLine(bytes_ + at) ? 1 : 0;
    }
    NoteAt(line, Kind::kTextOutside,
           std::string(token.kind == XmlTokenKind::kCData ? "a CDATA section"
                                                          : "text") +
               (root_seen_ ? " after" : " before"));
  }

  // An end tag: tinyxml2 reads nothing after the first that closes no
  // element, and that one alone is reported.
  void EndTag(const XmlToken &token) {
    if (depth_ > 0) {
      --depth_;
    } else if (!ended_outside_) {
      ended_outside_ = true;
      NoteAt(tag_line_, Kind::kEndTagOutside, Quote(std::string(token.bytes)));
    }
  }

  // Whether other readers read each byte beyond ASCII as a character of
  // its own, or refuse it, by the declared encoding.
  bool BytesAreCharacters() const {
    Encoding kind = EncodingNamed(encoding_);
    return kind == Encoding::kAscii || kind == Encoding::kOther;
  }

  // What the declared encoding makes other readers read, beside the tool.
  void EncodingFound() {
    Encoding kind = EncodingNamed(encoding_);
    if (kind == Encoding::kUtf8 ||
        (kind != Encoding::kWide && kind != Encoding::kUnknown &&
         beyond_ascii_line_ == 0)) {
      return;
    }
    std::string message =
        "the XML declaration names the encoding " + Quote(encoding_);
    std::string beyond = Format("the bytes beyond ASCII (the first on line %d)",
                                beyond_ascii_line_);
    switch (kind) {
      case Encoding::kWide:
        message +=
            ", which the file's bytes are not in: other XML tools "
            "refuse the file; the tool reads them";
        break;
      case Encoding::kUnknown:
        message +=
            ", which other XML tools do not know: they refuse the file; the "
            "tool reads it";
        break;
      case Encoding::kAscii:
        message += ": other XML tools refuse the file for " + beyond +
                   "; the tool reads them";
        break;
      default:
        message += ": other XML readers read " + beyond + " as " + encoding_ +
                   " characters, the tool reads them";
    }
    message +=
        " as UTF-8, and writes its own declaration, which names no "
        "encoding and so means UTF-8";
    if (not_utf8_name_line_ != 0) {
      message += Format(
          "; a byte that is not UTF-8 in a Name (the first on line %d) it "
          "copies as it is, so that other XML tools refuse its output",
          not_utf8_name_line_);
    }
    findings_->WarnAt(declaration_line_, "xml-refused", message);
  }

  // The bytes from here to |end|, all in |part|: none when |end| is not
  // past here.
  void Look(Part part, size_t end) {
    part_ = part;
    while (at_ < end) {
      if (part != Part::kComment) SkipPlain(end);
      if (at_ < end) Step(end);
    }
  }

  // Passes over the printable ASCII in which nothing can be found outside
  // comments: payloads are megabytes of it, which Step would take one
  // byte at a time to the same end. Comments are left to Step, as a test
  // for "-" here keeps GCC from testing whole blocks at once.
  void SkipPlain(size_t end) {
    at_ += LeadingRunLength(
        reinterpret_cast<const unsigned char *>(bytes_) + at_, end - at_,
        [](unsigned char c) {
          return (c >= 0x20) & (c < 0x80) & (c != '<') & (c != '&');
        });
  }

  // One character, or the entity or reference that starts there.
  void Step(size_t end) {
    unsigned char c = static_cast<unsigned char>(bytes_[at_]);
    if (c >= 0x80) {
      Character(end);
      return;
    }
    if (c < 0x20 && !IsAllowed(c)) {
      Note(Kind::kForbidden, Format("byte 0x%02X", c));
    }
    if (c == '&' && (part_ == Part::kText || part_ == Part::kValue)) {
      Entity(end);
      return;
    }
    if (part_ == Part::kValue && c == '<') {
      Note(Kind::kLessThan, "<");
    } else if (part_ == Part::kValue && (c == '\t' || c == '\n' || c == '\r')) {
      if (InName()) Note(Kind::kNameSpace, WhiteSpaceName(c));
    } else if (part_ == Part::kComment && c == '-' && bytes_[at_ + 1] == '-') {
      Note(Kind::kDoubleHyphen, "--");
    }
    if (EndsXmlLine(bytes_ + at_)) ++line_;
    ++at_;
  }

  // A character of more than one byte, or a byte that begins none.
  void Character(size_t end) {
    size_t length = Utf8Length(bytes_ + at_, end - at_);
    if (beyond_ascii_line_ == 0) beyond_ascii_line_ = line_;
    if (length == 0 && BytesAreCharacters()) {
      // The declaration's finding tells what this byte becomes.
      if (InName() && not_utf8_name_line_ == 0) not_utf8_name_line_ = line_;
      length = 1;
    } else if (length == 0) {
      Note(Kind::kNotUtf8,
           Format("byte 0x%02X", static_cast<unsigned char>(bytes_[at_])));
      length = 1;
    } else {
      unsigned long code = CodePoint(bytes_ + at_, length);
      if (!IsAllowed(code)) Note(Kind::kForbidden, Format("U+%04lX", code));
    }
    at_ += length;
  }

  // An "&" in text or a value: an entity, a character reference, or
  // neither.
  void Entity(size_t end) {
    size_t stop = at_ + 1;
    while (stop < end && stop - at_ < 64 && IsEntityNameCharacter(bytes_[stop]))
      ++stop;
    if (stop < end && bytes_[stop] == '#') {
      ++stop;
      while (stop < end && stop - at_ < 64 &&
             isalnum(static_cast<unsigned char>(bytes_[stop]))) {
        ++stop;
      }
    }
    if (stop >= end || bytes_[stop] != ';' || stop == at_ + 1) {
      Note(Kind::kBareAmpersand, "&");
      ++at_;
      return;
    }
    std::string name(bytes_ + at_ + 1, stop - at_ - 1);
    std::string reference = "&" + name + ";";
    // A DTD may declare the predefined ones again, which changes nothing.
    bool predefined = name == "amp" || name == "lt" || name == "gt" ||
                      name == "quot" || name == "apos";
    if (name[0] == '#') {
      Reference(name, reference);
    } else if (!predefined) {
      auto declared = dtd_->entities.find(name);
      if (declared != dtd_->entities.end()) {
        // Where the tool reads a number or digits, that finding names it.
        bool value = part_ == Part::kValue;
        std::string attribute(value ? attribute_ : std::string_view());
        if (NamesDeclaredEntities(value ? element_ : opened_,
                                  value ? attribute.c_str() : nullptr)) {
          dtd_->read_references.emplace(value ? tag_line_ : opened_line_,
                                        attribute);
        } else {
          Note(Kind::kDeclaredEntity, reference, declared->second);
        }
      } else {
        Note(Kind::kUnknownEntity, reference);
      }
    }
    at_ = stop + 1;
  }

  void Reference(const std::string &name, const std::string &reference) {
    bool hex = name.size() > 1 && name[1] == 'x';
    const char *digits = name.c_str() + (hex ? 2 : 1);
    char *stop = nullptr;
    unsigned long code = strtoul(digits, &stop, hex ? 16 : 10);
    if (*digits == '\0' || *stop != '\0' ||
        !isalnum(static_cast<unsigned char>(*digits))) {
      Note(Kind::kUnknownEntity, reference);
    } else if (!IsAllowed(code)) {
      Note(code == 0 ? Kind::kNul : Kind::kForbidden, Quote(reference));
    } else if (code < 0x20 && InName()) {
      Note(Kind::kNameSpace,
           Quote(reference) + ", " + WhiteSpaceName(code) + ",");
    }
  }

  bool InName() const {
    return part_ == Part::kValue && element_ == mf::kMode &&
           attribute_ == mf::kName;
  }

  std::string Where() const {
    switch (part_) {
      case Part::kValue:
        return InName() ? "Name" : "the value of " + std::string(attribute_);
      case Part::kComment:
        return "a comment";
      case Part::kText:
      case Part::kCData:
        return "text";
      case Part::kMarkup:
        break;
    }
    return "markup";
  }

  void Note(Kind kind, const std::string &detail,
            const std::string &declared = "") {
    NoteAt(line_, kind, detail, declared);
  }

  void NoteAt(int line, Kind kind, const std::string &detail,
              const std::string &declared = "") {
    std::string where = Where();
    if (!pending_.empty() && pending_.back().kind == kind &&
        pending_.back().line == line && pending_.back().where == where) {
      Problem &last = pending_.back();
      ++last.count;
      if (kind == Kind::kNameSpace && detail != last.detail &&
          std::find(last.others.begin(), last.others.end(), detail) ==
              last.others.end()) {
        last.others.push_back(detail);
      }
      return;
    }
    pending_.push_back({kind, line, detail, where, InName(), 1, declared});
  }

  void Flush() {
    for (const Problem &problem : pending_) {
      bool carried = (problem.in_name && (problem.kind == Kind::kNotUtf8 ||
                                          problem.kind == Kind::kForbidden ||
                                          problem.kind == Kind::kNameSpace)) ||
                     problem.kind == Kind::kDeclaredEntity;
      findings_->WarnAt(problem.line,
                        carried ? "text-not-portable" : "xml-refused",
                        Message(problem));
    }
  }

  const char *bytes_;
  size_t size_;       // a NUL before it ends what tinyxml2 reads
  InternalDtd *dtd_;  // whose read_references it fills
  Findings *findings_;
  size_t at_ = 0;  // all before it is looked at
  int line_ = 1;
  Part part_ = Part::kMarkup;
  std::string_view element_;  // of the tag being read
  std::string_view attribute_;
  std::string_view opened_;  // the element whose text follows, if any
  int opened_line_ = 0;
  std::vector<Problem> pending_;
  int tag_line_ = 0;  // of the last tag's name
  size_t depth_ = 0;  // of the elements open here
  bool ended_outside_ = false;
  bool root_seen_ = false;
  int declarations_ = 0;
  int declaration_line_ = 0;
  std::string encoding_;       // as the first XML declaration names it
  int beyond_ascii_line_ = 0;  // of the first byte beyond ASCII, or 0
  int not_utf8_name_line_ = 0;
};

}  // namespace

void CheckMarkup(const std::string &bytes, InternalDtd *dtd,
                 Findings *findings) {
  Scanner scanner(bytes, dtd, findings);
  scanner.Finish(ReadXmlTokens(
      bytes, XmlReading::kToTheEnd,
      [&scanner](const XmlToken &token) { scanner.Take(token); }));
}

}  // namespace inspect
