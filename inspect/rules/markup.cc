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

// A kind of problem, in the words of its message: the detail, " in " and
// where it is when |in|, |tail|, then what the tool does, after "other XML
// tools refuse the file": |result|, or in a Name, which the tool copies,
// |in_name| where that is not null.
struct Kind {
  bool in;
  const char *tail;
  const char *result;
  const char *in_name;
};

const char kCopied[] =
    ", and the tool copies it into its output's Name, which they refuse too";

const Kind kBareAmpersand = {
    true, "", "; the tool reads a \"&\"",
    "; the tool reads a \"&\" and writes it escaped, \"&amp;\""};
const Kind kUnknownEntity = {true, " is no XML entity",
                             "; the tool reads it as text", nullptr};
// One the file's DTD declares, which others expand.
const Kind kDeclaredEntity = {true, " is an entity the file's DTD declares", "",
                              nullptr};
const Kind kLessThan = {
    true, "", "; the tool reads a \"<\"",
    "; the tool reads a \"<\" and writes it escaped, \"&lt;\""};
const Kind kDoubleHyphen = {
    false, " inside a comment",
    "; the tool skips the comment, and its output does not carry it", nullptr};
const Kind kNotUtf8 = {true, " is not UTF-8", "", kCopied};
// A character XML does not allow, as a byte or a reference.
const Kind kForbidden = {true, " is a character XML does not allow", "",
                         kCopied};
// A reference to character 0, where tinyxml2 ends the text.
const Kind kNul = {true, " is a character XML does not allow",
                   "; the tool ends the text there", nullptr};
// A tab or line break in a Name.
const Kind kNameSpace = {true, "", "", nullptr};
// An XML declaration after white space.
const Kind kLateDeclaration = {false, "",
                               "; the tool reads it all the same, and writes "
                               "its own declaration at the start of its output",
                               nullptr};
const Kind kSecondDeclaration = {
    false, "", "; the tool ignores it, and writes one declaration of its own",
    nullptr};
// An end tag with no element open.
const Kind kEndTagOutside = {false, " outside the root element",
                             "; the tool reads nothing after it, and its "
                             "output leaves out what follows",
                             nullptr};
// Text before or after the root element.
const Kind kTextOutside = {
    false, " the root element",
    "; the tool ignores it, and its output leaves it out", nullptr};

struct Problem {
  const Kind *kind;
  int line;
  // The first occurrence: "byte 0xE9", "a bare \"&\"", "\"&foo;\"".
  std::string detail;
  std::string where;  // "Name", "a comment"
  bool in_name;       // in the Name of a Mode, which the tool copies
  int count;
  std::string declared = "";  // a declared entity's text
  // Of white space in a Name, the other kinds after the first, each
  // named once: "a line feed".
  std::vector<std::string> others = {};
};

bool IsAllowed(unsigned long code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  if (code >= 0xD800 && code <= 0xDFFF) return false;
  return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

// A quoted reference, "&foo;", with its "&" escaped as the tool writes it.
std::string Escaped(const std::string &reference) {
  return "\"&amp;" + reference.substr(2);
}

std::string Message(const Problem &p) {
  std::string what = p.detail;
  for (size_t i = 0; i < p.others.size(); ++i) {
    // A reference's name ends in a comma of its own.
    bool last = i + 1 == p.others.size();
    what += last ? " and " : what.back() == ',' ? " " : ", ";
    what += p.others[i];
  }
  what += (p.kind->in ? " in " + p.where : "") + p.kind->tail;
  int kinds = static_cast<int>(p.others.size()) + 1;
  if (kinds > 1) {
    return what +
           (p.count > kinds ? Format(" (%d on this line)", p.count) : "") +
           ": the tool writes them unchanged, and other XML readers read "
           "them in its output as spaces";
  }
  if (p.count > 1) what += Format(" (and %d more on this line)", p.count - 1);
  if (p.kind == &kNameSpace) {
    return what +
           ": the tool writes it unchanged, and other XML readers read it in "
           "its output as a space";
  }
  if (p.kind == &kDeclaredEntity) {
    return what + ": other XML readers read " + Quote(p.declared) +
           "; the tool reads the characters " + p.detail +
           (p.in_name ? " and writes " + Escaped(p.detail) : "");
  }
  what += ": other XML tools refuse the file";
  if (p.kind == &kUnknownEntity && p.in_name) {
    return what + p.kind->result + ", written " + Escaped(p.detail);
  }
  return what +
         (p.in_name && p.kind->in_name ? p.kind->in_name : p.kind->result);
}

// Delimiters between tokens are markup, as a tag's name is.
constexpr XmlTokenKind kMarkup = XmlTokenKind::kTagName;

// How other XML readers take the encoding an XML declaration names; the
// tool reads UTF-8 whatever it names.
enum class Encoding {
  kUtf8,     // as the tool does
  kAscii,    // refusing bytes beyond ASCII
  kWide,     // two or four bytes to a character, which the bytes are not in
  kOther,    // reading bytes beyond ASCII as other characters
  kUnknown,  // a name they do not know, for which they refuse the file
};

bool StartsWithInAnyCase(const std::string &name, const char *prefix) {
  return strncasecmp(name.c_str(), prefix, strlen(prefix)) == 0;
}

Encoding EncodingNamed(const std::string &name) {
  if (name.empty() || strcasecmp(name.c_str(), "UTF-8") == 0) {
    return Encoding::kUtf8;
  }
  if (strcasecmp(name.c_str(), "US-ASCII") == 0 ||
      strcasecmp(name.c_str(), "ASCII") == 0) {
    return Encoding::kAscii;
  }
  for (const char *wide : {"UTF-16", "UTF-32", "UCS-2", "UCS-4", "UTF16",
                           "UTF32", "ISO-10646-UCS"}) {
    if (StartsWithInAnyCase(name, wide)) return Encoding::kWide;
  }
  // Whether other readers know the name: xmllint asks the system's
  // converter, and knows some names of its own beside. A name it may know
  // is taken as known, so that no refusal is claimed that is not.
  for (const char *own : {"ISO-LATIN-", "ASCII"}) {
    if (StartsWithInAnyCase(name, own)) return Encoding::kOther;
  }
  std::string letters;
  for (char c : name) {
    if (isalnum(static_cast<unsigned char>(c))) letters += c;
  }
  for (const std::string &form : {name, letters}) {
    iconv_t converter = iconv_open("UTF-8", form.c_str());
    if (converter != reinterpret_cast<iconv_t>(-1)) {
      iconv_close(converter);
      return Encoding::kOther;
    }
  }
  return Encoding::kUnknown;
}

// The encoding |declaration|, the inside of "<?xml ...?>", names, or "".
std::string DeclaredEncoding(std::string_view declaration) {
  size_t at = declaration.find("encoding");
  if (at != std::string_view::npos) at = declaration.find_first_of("\"'", at);
  if (at == std::string_view::npos) return "";
  size_t end = declaration.find(declaration[at], at + 1);
  if (end == std::string_view::npos) return "";
  return std::string(declaration.substr(at + 1, end - at - 1));
}

// The parts of the file as tinyxml2 reads them, and past where it stops,
// byte by byte.
class Scanner {
 public:
  Scanner(const std::string &bytes, InternalDtd *dtd, Findings *findings)
      : bytes_(bytes.c_str()), dtd_(dtd), findings_(findings) {}

  // The token, after the delimiters before it, which are markup.
  void Take(const XmlToken &token) {
    Look(kMarkup, token.begin);
    int line = line_;
    Look(token.kind, token.end);
    switch (token.kind) {
      case XmlTokenKind::kText:
      case XmlTokenKind::kCData:
        if (depth_ == 0) OutsideRoot(token, line);
        break;
      case XmlTokenKind::kInstruction:
        Declaration(token, line);
        break;
      case XmlTokenKind::kTagName:
        element_ = token.bytes;
        tag_line_ = line;
        break;
      case XmlTokenKind::kAttributeName:
        attribute_ = token.bytes;
        break;
      case XmlTokenKind::kEndTag:
        // tinyxml2 reads nothing after the first that closes no element,
        // and that one alone is reported.
        if (depth_ > 0) {
          --depth_;
        } else if (!ended_outside_) {
          ended_outside_ = true;
          Note(tag_line_, &kEndTagOutside,
               "an end tag " + Quote(std::string(token.bytes)));
        }
        [[fallthrough]];
      case XmlTokenKind::kEmptyTag:
      case XmlTokenKind::kStartTag: {
        // Text follows the element a start tag opens, and no other.
        bool start = token.kind == XmlTokenKind::kStartTag;
        depth_ += start ? 1 : 0;
        opened_ = start ? element_ : std::string_view();
        element_ = {};  // a tag's name counts for no other tag
        tag_seen_ = true;
        break;
      }
      default:
        break;
    }
  }

  // Reports what was found, with the delimiters from the last token to
  // |end|, the end of the reading; a NUL before |size|, the file's, ends
  // what tinyxml2 reads.
  void Finish(size_t end, size_t size) {
    Look(kMarkup, end);
    EncodingFound();
    for (const Problem &p : pending_) {
      bool carried = p.kind == &kDeclaredEntity || p.kind == &kNameSpace ||
                     (p.in_name && p.kind->in_name == kCopied);
      findings_->WarnAt(p.line, carried ? "text-not-portable" : "xml-refused",
                        Message(p));
    }
    if (end < size) {
      // Some readers (xmllint) end the file at a NUL after the root, as
      // tinyxml2 does, rather than refuse it.
      findings_->WarnAt(
          line_, "xml-refused",
          "a NUL byte (0x00), a character XML does not allow: strict XML "
          "tools refuse the file, others stop reading there; tinyxml2 reads "
          "the file only up to it, so that the tool reads none of the " +
              Count(size - end - 1, "byte") +
              " after it, and its output leaves them out");
    }
  }

 private:
  // An instruction, whose "<?" is on |line|: an XML declaration when it is
  // named "xml" alone.
  void Declaration(const XmlToken &token, int line) {
    std::string_view name = token.bytes;
    if (name.substr(0, 3) != "xml" ||
        (name.size() > 3 && !tinyxml2::XMLUtil::IsWhiteSpace(name[3]))) {
      return;
    }
    if (declaration_line_ != 0) {
      Note(line, &kSecondDeclaration, "a second XML declaration");
      return;
    }
    if (token.begin - 2 != ContentStart()) {
      Note(line, &kLateDeclaration,
           "the XML declaration is not at the start of the file (white space "
           "is before it)");
    }
    encoding_ = DeclaredEncoding(token.bytes);
    encoding_kind_ = EncodingNamed(encoding_);
    declaration_line_ = line;
  }

  // Text or a CDATA section at the document's level, where XML allows
  // none; the DTD's subset is no text.
  void OutsideRoot(const XmlToken &token, int line) {
    // tinyxml2 reads nothing after an end tag there: that one is reported.
    if (ended_outside_ || token.begin < dtd_->end) return;
    size_t first = std::max<size_t>(token.begin, ContentStart());
    for (; first < token.end && tinyxml2::XMLUtil::IsWhiteSpace(bytes_[first]);
         ++first) {
      line += EndsXmlLine(bytes_ + first) ? 1 : 0;
    }
    if (first == token.end && token.kind == XmlTokenKind::kText) return;
    Note(line, &kTextOutside,
         std::string(token.kind == XmlTokenKind::kCData ? "a CDATA section"
                                                        : "text") +
             (tag_seen_ ? " after" : " before"));
  }

  // Where the file's content starts: tinyxml2 passes over a byte order
  // mark, as other readers do, so it is neither text nor white space.
  size_t ContentStart() const {
    return strncmp(bytes_, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  }

  // What the declared encoding makes other readers read, beside the tool.
  void EncodingFound() {
    if (encoding_kind_ == Encoding::kUtf8 ||
        (encoding_kind_ != Encoding::kWide &&
         encoding_kind_ != Encoding::kUnknown && beyond_ascii_line_ == 0)) {
      return;
    }
    std::string beyond = Format("the bytes beyond ASCII (the first on line %d)",
                                beyond_ascii_line_);
    std::string message =
        "the XML declaration names the encoding " + Quote(encoding_) +
        (encoding_kind_ == Encoding::kWide
             ? ", which the file's bytes are not in: other XML tools refuse "
               "the file; the tool reads them"
         : encoding_kind_ == Encoding::kUnknown
             ? ", which other XML tools do not know: they refuse the file; "
               "the tool reads it"
         : encoding_kind_ == Encoding::kAscii
             ? ": other XML tools refuse the file for " + beyond +
                   "; the tool reads them"
             : ": other XML readers read " + beyond + " as " + encoding_ +
                   " characters, the tool reads them");
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
  void Look(XmlTokenKind part, size_t end) {
    part_ = part;
    while (at_ < end) {
      // Passes over the printable ASCII in which nothing can be found
      // outside comments: payloads are megabytes of it, which Step would
      // take one byte at a time to the same end. Comments are left to Step,
      // as a test for "-" here keeps GCC from testing whole blocks at once.
      if (part != XmlTokenKind::kComment) {
        at_ += LeadingRunLength(
            reinterpret_cast<const unsigned char *>(bytes_) + at_, end - at_,
            [](unsigned char c) {
              return (c >= 0x20) & (c < 0x80) & (c != '<') & (c != '&');
            });
      }
      if (at_ < end) Step(end);
    }
  }

  // One character, or the entity or reference that starts there.
  void Step(size_t end) {
    unsigned char c = static_cast<unsigned char>(bytes_[at_]);
    if (c >= 0x80) {
      Character(end);
      return;
    }
    bool value = part_ == XmlTokenKind::kAttributeValue;
    if (c == '&' && (part_ == XmlTokenKind::kText || value)) {
      Entity(end);
      return;
    }
    if (c < 0x20 && (!IsAllowed(c) || InName())) {
      Note(line_, IsAllowed(c) ? &kNameSpace : &kForbidden, CharacterName(c));
    } else if (value && c == '<') {
      Note(line_, &kLessThan, "a \"<\"");
    } else if (part_ == XmlTokenKind::kComment && c == '-' &&
               bytes_[at_ + 1] == '-') {
      Note(line_, &kDoubleHyphen, "\"--\"");
    }
    if (EndsXmlLine(bytes_ + at_)) ++line_;
    ++at_;
  }

  // A character of more than one byte, or a byte that begins none.
  void Character(size_t end) {
    size_t length = Utf8Length(bytes_ + at_, end - at_);
    if (beyond_ascii_line_ == 0) beyond_ascii_line_ = line_;
    if (length > 0) {
      unsigned long code = CodePoint(bytes_ + at_, length);
      if (!IsAllowed(code)) Note(line_, &kForbidden, Format("U+%04lX", code));
    } else if (encoding_kind_ == Encoding::kAscii ||
               encoding_kind_ == Encoding::kOther) {
      // Other readers read the byte as a character of its own, or refuse
      // it, by the declared encoding, whose finding tells what it becomes.
      if (InName() && not_utf8_name_line_ == 0) not_utf8_name_line_ = line_;
    } else {
      Note(line_, &kNotUtf8, CharacterName(bytes_[at_]));
    }
    at_ += length > 0 ? length : 1;
  }

  // An "&" in text or a value: an entity, a character reference, or
  // neither.
  void Entity(size_t end) {
    size_t stop = at_ + 1;
    // tinyxml2 takes any byte beyond ASCII for a name's; XML does not.
    while (stop < end && stop - at_ < 64 && (bytes_[stop] & 0x80) == 0 &&
           tinyxml2::XMLUtil::IsNameChar(bytes_[stop]))
      ++stop;
    if (stop < end && bytes_[stop] == '#') {
      ++stop;
      while (stop < end && stop - at_ < 64 &&
             isalnum(static_cast<unsigned char>(bytes_[stop]))) {
        ++stop;
      }
    }
    if (stop >= end || bytes_[stop] != ';' || stop == at_ + 1) {
      Note(line_, &kBareAmpersand, "a bare \"&\"");
      ++at_;
      return;
    }
    std::string name(bytes_ + at_ + 1, stop - at_ - 1);
    std::string reference = Quote("&" + name + ";");
    // A DTD may declare the predefined ones again, which changes nothing.
    bool predefined = name == "amp" || name == "lt" || name == "gt" ||
                      name == "quot" || name == "apos";
    if (name[0] == '#') {
      Reference(name, reference);
    } else if (!predefined) {
      auto declared = dtd_->entities.find(name);
      if (declared != dtd_->entities.end()) {
        // Where the tool reads a number or digits, that finding names it.
        bool value = part_ == XmlTokenKind::kAttributeValue;
        std::string attribute(value ? attribute_ : std::string_view());
        if (NamesDeclaredEntities(value ? element_ : opened_,
                                  value ? attribute.c_str() : nullptr)) {
          dtd_->read_references.emplace(tag_line_, attribute);
        } else {
          Note(line_, &kDeclaredEntity, reference, declared->second);
        }
      } else {
        Note(line_, &kUnknownEntity, reference);
      }
    }
    at_ = stop + 1;
  }

  void Reference(const std::string &name, const std::string &reference) {
    bool hex = name.size() > 1 && name[1] == 'x';
    const char *digits = name.c_str() + (hex ? 2 : 1);
    char *stop = nullptr;
    unsigned long code = strtoul(digits, &stop, hex ? 16 : 10);
    if (*digits == '\0' || *stop != '\0') {
      Note(line_, &kUnknownEntity, reference);
    } else if (!IsAllowed(code)) {
      Note(line_, code == 0 ? &kNul : &kForbidden, reference);
    } else if (code < 0x20 && InName()) {
      Note(line_, &kNameSpace, reference + ", " + CharacterName(code) + ",");
    }
  }

  bool InName() const {
    return part_ == XmlTokenKind::kAttributeValue && element_ == mf::kMode &&
           attribute_ == mf::kName;
  }

  std::string Where() const {
    if (part_ == XmlTokenKind::kAttributeValue) {
      return InName() ? "Name" : "the value of " + std::string(attribute_);
    }
    if (part_ == XmlTokenKind::kComment) return "a comment";
    return part_ == XmlTokenKind::kText || part_ == XmlTokenKind::kCData
               ? "text"
               : "markup";
  }

  void Note(int line, const Kind *kind, const std::string &detail,
            const std::string &declared = "") {
    std::string where = Where();
    if (!pending_.empty() && pending_.back().kind == kind &&
        pending_.back().line == line && pending_.back().where == where) {
      Problem &last = pending_.back();
      ++last.count;
      if (kind == &kNameSpace && detail != last.detail &&
          std::find(last.others.begin(), last.others.end(), detail) ==
              last.others.end()) {
        last.others.push_back(detail);
      }
      return;
    }
    pending_.push_back({kind, line, detail, where, InName(), 1, declared});
  }

  const char *bytes_;
  InternalDtd *dtd_;  // whose read_references it fills
  Findings *findings_;
  size_t at_ = 0;  // all before it is looked at
  int line_ = 1;
  XmlTokenKind part_ = kMarkup;  // of the bytes being looked at
  std::string_view element_;     // of the tag being read
  std::string_view attribute_;
  std::string_view opened_;  // the element whose text follows, if any
  std::vector<Problem> pending_;
  // Of the last tag's name: that of the tag being read, or of the element
  // whose text follows.
  int tag_line_ = 0;
  size_t depth_ = 0;  // of the elements open here
  bool ended_outside_ = false;
  // Text at the document's level after a tag is after the root: after an
  // end tag with no element open, none is reported.
  bool tag_seen_ = false;
  int declaration_line_ = 0;  // of the first XML declaration, or 0
  std::string encoding_;      // as the first XML declaration names it
  Encoding encoding_kind_ = Encoding::kUtf8;
  int beyond_ascii_line_ = 0;  // of the first byte beyond ASCII, or 0
  int not_utf8_name_line_ = 0;
};

}  // namespace

void CheckMarkup(const std::string &bytes, InternalDtd *dtd,
                 Findings *findings) {
  Scanner scanner(bytes, dtd, findings);
  size_t end =
      ReadXmlTokens(bytes, XmlReading::kToTheEnd,
                    [&scanner](const XmlToken &token) { scanner.Take(token); });
  scanner.Finish(end, bytes.size());
}

}  // namespace inspect
