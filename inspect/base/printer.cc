#include "inspect/base/printer.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "inspect/base/text.h"

namespace inspect {

namespace {

// |text| as a JSON string.
std::string JsonString(const std::string &text) {
  return QuoteWith(text, [](unsigned char c, bool stray) -> std::string {
    if (stray) return "\\ufffd";
    if (c == '"' || c == '\\') return {'\\', static_cast<char>(c)};
    // Control characters may not stand in a JSON string.
    return c < 0x20 ? Format("\\u%04x", c) : "";
  });
}

// JSON in strict UTF-8, one document on one line: a byte of a string that
// is not UTF-8 stands as \ufffd, which check's findings explain.
class JsonPrinter : public Printer {
 public:
  void BeginObject(const char *key) override { Open(key, '{'); }
  void EndObject() override { text_ += '}'; }
  void BeginList(const char *key, const std::string &,
                 const std::string &) override {
    Open(key, '[');
  }
  void EndList() override { text_ += ']'; }
  void Line(const std::string &) override {}
  void Text(const std::string &) override {}
  void Finish() override { fputs((text_ + "\n").c_str(), stdout); }

 protected:
  void Add(const char *key, const std::string &text, Kind kind) override {
    Member(key);
    text_ += kind == Kind::kString ? JsonString(text) : text;
  }

 private:
  // A comma before all but the first member or item, which follows the
  // document's start or a bracket that opens; and the key.
  void Member(const char *key) {
    if (!text_.empty() && text_.back() != '{' && text_.back() != '[') {
      text_ += ',';
    }
    if (key != nullptr) {
      text_ += JsonString(key);
      text_ += ':';
    }
  }
  void Open(const char *key, char bracket) {
    Member(key);
    text_ += bracket;
  }
  std::string text_;
};

class TextPrinter : public Printer {
 public:
  explicit TextPrinter(FILE *out) : out_(out) {}
  void BeginObject(const char *) override { scopes_.emplace_back(); }
  void EndObject() override { scopes_.pop_back(); }
  void BeginList(const char *, const std::string &header,
                 const std::string &empty) override {
    lists_.push_back({header, empty, false});
  }
  void EndList() override {
    List list = lists_.back();
    lists_.pop_back();
    if (!list.printed && !list.empty.empty()) Text(list.empty);
  }
  void Line(const std::string &format) override {
    std::string line;
    for (size_t at = 0; at < format.size();) {
      size_t open = format.find('{', at);
      size_t close = format.find('}', open);
      if (open == std::string::npos || close == std::string::npos) {
        line += format.substr(at);
        break;
      }
      line += format.substr(at, open - at);
      line += Placeholder(format.substr(open + 1, close - open - 1));
      at = close + 1;
    }
    Text(line);
  }
  void Text(const std::string &line) override {
    for (List &list : lists_) {
      if (!list.printed && !list.header.empty()) {
        fprintf(out_, "%s\n", list.header.c_str());
      }
      list.printed = true;
    }
    fprintf(out_, "%s\n", line.c_str());
  }
  void Finish() override {}

 protected:
  void Add(const char *key, const std::string &text, Kind kind) override {
    scopes_.back().push_back({key, text, kind});
  }

 private:
  struct Fact {
    std::string key;
    std::string text;
    Kind kind;
  };
  struct List {
    std::string header;
    std::string empty;
    bool printed;
  };

  // The fact |key|, innermost first; the caller names only facts it gave.
  const Fact &Find(const std::string &key) const {
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
      for (const Fact &fact : *scope) {
        if (fact.key == key) return fact;
      }
    }
    abort();
  }

  // The text of "KEY" or "KEY:FORM".
  std::string Placeholder(const std::string &placeholder) const {
    size_t colon = placeholder.find(':');
    const Fact &fact = Find(placeholder.substr(0, colon));
    std::string form =
        colon == std::string::npos ? "" : placeholder.substr(colon + 1);
    std::string text = fact.kind == Kind::kNull ? "--" : fact.text;
    char style = form.empty() ? ' ' : form[0];
    if (style == '#') return Count(atoll(fact.text.c_str()), form.c_str() + 1);
    if (style == 'q' || style == 'y' || style == 'x') form.erase(0, 1);
    if (fact.kind != Kind::kNull) {
      if (style == 'q') text = Quote(fact.text);
      if (style == 'y') text = fact.text == "true" ? "yes" : "no";
      if (style == 'x') text = Format("%02X", atoi(fact.text.c_str()));
    }
    return Format("%*s", atoi(form.c_str()), text.c_str());
  }

  FILE *out_;
  std::vector<std::vector<Fact>> scopes_;
  std::vector<List> lists_;
};

}  // namespace

std::unique_ptr<Printer> MakePrinter(bool json, FILE *text) {
  if (json) return std::make_unique<JsonPrinter>();
  return std::make_unique<TextPrinter>(text);
}

}  // namespace inspect
