#include "inspect/base/printer.h"

#include <stdio.h>
#include <stdlib.h>

#include <utility>
#include <vector>

#include "inspect/base/json.h"
#include "inspect/base/text.h"

namespace inspect {

namespace {

class JsonPrinter : public Printer {
 public:
  void BeginObject(const char *key) override { KeyOf(key).BeginObject(); }
  void EndObject() override { json_.EndObject(); }
  void BeginList(const char *key, const std::string &,
                 const std::string &) override {
    KeyOf(key).BeginArray();
  }
  void EndList() override { json_.EndArray(); }
  void Int(const char *key, int64_t value) override { KeyOf(key).Int(value); }
  void String(const char *key, const std::string &value) override {
    KeyOf(key).String(value);
  }
  void Bool(const char *key, bool value) override { KeyOf(key).Bool(value); }
  void Null(const char *key) override { KeyOf(key).Null(); }
  void Line(const std::string &) override {}
  void Text(const std::string &) override {}
  void Finish() override { fputs(json_.Text().c_str(), stdout); }

 private:
  JsonWriter &KeyOf(const char *key) {
    return key != nullptr ? json_.Key(key) : json_;
  }

  JsonWriter json_;
};

class TextPrinter : public Printer {
 public:
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
  void Int(const char *key, int64_t value) override {
    Add(key, std::to_string(value), Kind::kNumber);
  }
  void String(const char *key, const std::string &value) override {
    Add(key, value, Kind::kString);
  }
  void Bool(const char *key, bool value) override {
    Add(key, value ? "true" : "false", Kind::kFlag);
  }
  void Null(const char *key) override { Add(key, "", Kind::kNull); }
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
      if (!list.printed && !list.header.empty()) puts(list.header.c_str());
      list.printed = true;
    }
    puts(line.c_str());
  }
  void Finish() override {}

 private:
  enum class Kind { kNumber, kString, kFlag, kNull };
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

  void Add(const char *key, std::string text, Kind kind) {
    scopes_.back().push_back({key, std::move(text), kind});
  }

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
  std::string Placeholder(const std::string &spec) const {
    size_t colon = spec.find(':');
    const Fact &fact = Find(spec.substr(0, colon));
    std::string form = colon == std::string::npos ? "" : spec.substr(colon + 1);
    std::string text = fact.kind == Kind::kNull ? "--" : fact.text;
    if (!form.empty() && form[0] == '#') {
      return Count(atoll(fact.text.c_str()), form.c_str() + 1);
    }
    if (!form.empty() && fact.kind != Kind::kNull) {
      if (form[0] == 'q') text = Quote(fact.text);
      if (form[0] == 'y') text = fact.text == "true" ? "yes" : "no";
      if (form[0] == 'x') text = Format("%02X", atoi(fact.text.c_str()));
    }
    if (!form.empty() && (form[0] == 'q' || form[0] == 'y' || form[0] == 'x')) {
      form.erase(0, 1);
    }
    int width = atoi(form.c_str());
    return Format("%*s", width, text.c_str());
  }

  std::vector<std::vector<Fact>> scopes_;
  std::vector<List> lists_;
};

}  // namespace

std::unique_ptr<Printer> MakePrinter(bool json) {
  if (json) return std::make_unique<JsonPrinter>();
  return std::make_unique<TextPrinter>();
}

}  // namespace inspect
