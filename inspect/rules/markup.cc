// The file's bytes as other XML tools see them: tinyxml2 reads markup and
// characters that they refuse (a bare "&", "<" in an attribute value, "--"
// in a comment, bytes that are not UTF-8, control characters), and the
// tool writes a Mode's Name as it read it, so that what it copies can make
// its output XML that they refuse or read otherwise.
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "calib_db/mode_format.h"
#include "inspect/base/byte_span.h"
#include "inspect/base/text.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace mf = tavo::mode_format;

namespace {

enum class Kind {
  kBareAmpersand,
  kUnknownEntity,
  kLessThan,
  kDoubleHyphen,
  kNotUtf8,
  kForbidden,  // a character XML does not allow, as a byte or a reference
  kNul,        // a reference to character 0, where tinyxml2 ends the text
  kNameSpace,  // a tab or line break in a Name
};

// Where the scan is in the file.
enum class State { kText, kTag, kValue, kComment, kCData, kPi, kDoctype };

struct Problem {
  Kind kind;
  int line;
  std::string detail;  // the first occurrence: "byte 0xE9", "&foo;"
  std::string where;   // "Name", "a comment"
  bool in_name;        // in the Name of a Mode, which the tool copies
  int count;
};

bool IsEntityNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '.' || c == '-';
}

bool IsAllowed(unsigned long code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  if (code >= 0xD800 && code <= 0xDFFF) return false;
  return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

unsigned long CodePoint(const unsigned char *p, size_t length) {
  if (length == 1) return p[0];
  unsigned long code = p[0] & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) code = (code << 6) | (p[i] & 0x3F);
  return code;
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
    case Kind::kNotUtf8:
    case Kind::kForbidden:
      return p.in_name ? ", and the tool copies it into its output's Name, "
                         "which they refuse too"
                       : "";
    case Kind::kNameSpace:
      break;
  }
  return "";
}

std::string Message(const Problem &p) {
  std::string more = p.count > 1
                         ? Format(" (and %d more on this line)", p.count - 1)
                         : std::string();
  switch (p.kind) {
    case Kind::kBareAmpersand:
      return Format("a bare \"&\" in %s%s: other XML tools refuse the file%s",
                    p.where.c_str(), more.c_str(), Consequence(p).c_str());
    case Kind::kUnknownEntity:
      return Format(
          "%s in %s is no XML entity%s: other XML tools refuse the "
          "file%s",
          Quote(p.detail).c_str(), p.where.c_str(), more.c_str(),
          Consequence(p).c_str());
    case Kind::kLessThan:
      return Format("a \"<\" in %s%s: other XML tools refuse the file%s",
                    p.where.c_str(), more.c_str(), Consequence(p).c_str());
    case Kind::kDoubleHyphen:
      return Format(
          "\"--\" inside a comment%s: other XML tools refuse the "
          "file%s",
          more.c_str(), Consequence(p).c_str());
    case Kind::kNotUtf8:
      return Format(
          "%s in %s is not UTF-8%s: other XML tools refuse the "
          "file%s",
          p.detail.c_str(), p.where.c_str(), more.c_str(),
          Consequence(p).c_str());
    case Kind::kForbidden:
    case Kind::kNul:
      return Format(
          "%s in %s is a character XML does not allow%s: other XML "
          "tools refuse the file%s",
          p.detail.c_str(), p.where.c_str(), more.c_str(),
          Consequence(p).c_str());
    case Kind::kNameSpace:
      return Format(
          "%s in Name%s: the tool writes it unchanged, and other "
          "XML readers read it in its output as a space",
          p.detail.c_str(), more.c_str());
  }
  return "";
}

class Scanner {
 public:
  Scanner(const std::string &bytes, Findings *findings)
      : bytes_(bytes.c_str()),
        size_(strlen(bytes.c_str())),
        findings_(findings) {}

  void Run() {
    while (at_ < size_) {
      SkipPlain();
      if (at_ < size_) Step();
    }
    Flush();
  }

 private:
  // One character, or one construct that starts there.
  void Step() {
    unsigned char c = static_cast<unsigned char>(bytes_[at_]);
    if (c >= 0x80) {
      Character();
      return;
    }
    if (c < 0x20 && !IsAllowed(c)) {
      Note(Kind::kForbidden, Format("byte 0x%02X", c));
    }
    switch (state_) {
      case State::kText:
        if (c == '<') {
          Open();
          return;
        }
        if (c == '&') {
          Entity();
          return;
        }
        break;
      case State::kTag:
        Tag(c);
        break;
      case State::kValue:
        if (c == quote_) {
          state_ = State::kTag;
        } else if (c == '<') {
          Note(Kind::kLessThan, "<");
        } else if (c == '&') {
          Entity();
          return;
        } else if (c == '\t' || c == '\n' || c == '\r') {
          if (InName()) Note(Kind::kNameSpace, WhiteSpaceName(c));
        }
        break;
      case State::kComment:
        if (Ahead("-->")) {
          state_ = State::kText;
          at_ += 3;
          return;
        }
        if (Ahead("--")) Note(Kind::kDoubleHyphen, "--");
        break;
      case State::kCData:
        if (Ahead("]]>")) Close(3);
        break;
      case State::kPi:
        if (Ahead("?>")) Close(2);
        break;
      case State::kDoctype:
        if (c == '>') state_ = State::kText;
        break;
    }
    Advance(1);
  }

  // Passes over the printable ASCII of text and values in which nothing
  // can be found: payloads are megabytes of it, which Step would take one
  // byte at a time to the same end.
  void SkipPlain() {
    if (state_ != State::kText && state_ != State::kValue) return;
    char quote = state_ == State::kValue ? quote_ : '<';
    at_ += SpanOf(reinterpret_cast<const unsigned char *>(bytes_) + at_,
                  size_ - at_, [quote](unsigned char c) {
                    return (c >= 0x20) & (c < 0x80) & (c != '<') & (c != '&') &
                           (c != static_cast<unsigned char>(quote));
                  });
  }

  // A character of more than one byte, or a byte that begins none.
  void Character() {
    size_t length = Utf8Length(bytes_ + at_, size_ - at_);
    if (length == 0) {
      Note(Kind::kNotUtf8,
           Format("byte 0x%02X", static_cast<unsigned char>(bytes_[at_])));
      length = 1;
    } else {
      unsigned long code = CodePoint(
          reinterpret_cast<const unsigned char *>(bytes_ + at_), length);
      if (!IsAllowed(code)) Note(Kind::kForbidden, Format("U+%04lX", code));
    }
    if (state_ == State::kTag) token_.append(bytes_ + at_, length);
    at_ += length;
  }

  void Open() {
    if (Ahead("<!--")) {
      state_ = State::kComment;
      at_ += 4;
    } else if (Ahead("<![CDATA[")) {
      state_ = State::kCData;
      at_ += 9;
    } else if (Ahead("<?")) {
      state_ = State::kPi;
      at_ += 2;
    } else if (Ahead("<!")) {
      state_ = State::kDoctype;
      at_ += 2;
    } else {
      state_ = State::kTag;
      element_.clear();
      token_.clear();
      at_ += 1;
    }
  }

  // Inside a tag: names of the element and its attributes, and values.
  void Tag(unsigned char c) {
    bool delimiter = c == ' ' || c == '\t' || c == '\n' || c == '\r' ||
                     c == '=' || c == '/' || c == '>' || c == '"' || c == '\'';
    if (!delimiter) {
      token_ += static_cast<char>(c);
      return;
    }
    if (!token_.empty()) {
      if (element_.empty()) {
        element_ = token_;
      } else {
        attribute_ = token_;
      }
      token_.clear();
    }
    if (c == '>') {
      state_ = State::kText;
    } else if (c == '"' || c == '\'') {
      state_ = State::kValue;
      quote_ = static_cast<char>(c);
    }
  }

  // An "&" in text or a value: an entity, a character reference, or
  // neither.
  void Entity() {
    size_t end = at_ + 1;
    while (end < size_ && end - at_ < 64 && IsEntityNameCharacter(bytes_[end]))
      ++end;
    if (end < size_ && bytes_[end] == '#') {
      ++end;
      while (end < size_ && end - at_ < 64 &&
             isalnum(static_cast<unsigned char>(bytes_[end]))) {
        ++end;
      }
    }
    if (end >= size_ || bytes_[end] != ';' || end == at_ + 1) {
      Note(Kind::kBareAmpersand, "&");
      Advance(1);
      return;
    }
    std::string name(bytes_ + at_ + 1, end - at_ - 1);
    std::string reference = "&" + name + ";";
    if (name[0] == '#') {
      Reference(name, reference);
    } else if (name != "amp" && name != "lt" && name != "gt" &&
               name != "quot" && name != "apos") {
      Note(Kind::kUnknownEntity, reference);
    }
    at_ = end + 1;
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
    return state_ == State::kValue && element_ == mf::kMode &&
           attribute_ == mf::kName;
  }

  std::string Where() const {
    switch (state_) {
      case State::kValue:
        return InName() ? "Name" : "the value of " + attribute_;
      case State::kComment:
        return "a comment";
      case State::kText:
      case State::kCData:
        return "text";
      default:
        return "markup";
    }
  }

  void Note(Kind kind, const std::string &detail) {
    std::string where = Where();
    if (!pending_.empty() && pending_.back().kind == kind &&
        pending_.back().line == line_ && pending_.back().where == where) {
      ++pending_.back().count;
      return;
    }
    pending_.push_back({kind, line_, detail, where, InName(), 1});
  }

  void Flush() {
    for (const Problem &problem : pending_) {
      bool carried = problem.in_name && (problem.kind == Kind::kNotUtf8 ||
                                         problem.kind == Kind::kForbidden ||
                                         problem.kind == Kind::kNameSpace);
      findings_->WarnAt(problem.line,
                        carried ? "text-not-portable" : "xml-refused",
                        Message(problem));
    }
  }

  bool Ahead(const char *text) const {
    return strncmp(bytes_ + at_, text, strlen(text)) == 0;
  }

  void Close(size_t length) {
    state_ = State::kText;
    at_ += length;
  }

  void Advance(size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (bytes_[at_ + i] == '\n') ++line_;
    }
    at_ += count;
  }

  const char *bytes_;
  size_t size_;  // tinyxml2 reads up to the first NUL
  Findings *findings_;
  size_t at_ = 0;
  int line_ = 1;
  State state_ = State::kText;
  char quote_ = '"';
  std::string element_;
  std::string attribute_;
  std::string token_;
  std::vector<Problem> pending_;
};

}  // namespace

void CheckMarkup(const std::string &bytes, Findings *findings) {
  Scanner(bytes, findings).Run();
}

}  // namespace inspect
