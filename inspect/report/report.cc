#include "inspect/report/report.h"

#include <string.h>

#include <memory>

#include "inspect/base/text.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

const char *Severity(const Finding &finding) {
  return finding.is_error ? "error" : "warning";
}

// Whether |finding| is that the tool cannot read the file, rather than a
// warning that a gate made an error.
bool IsRefusal(const Finding &finding) {
  return finding.is_error && strcmp(finding.code, "unreadable") == 0;
}

void AddFindingJson(const std::string *path, const Finding &finding,
                    const std::string &parser_error, JsonWriter *json) {
  json->BeginObject();
  json->Key("file");
  if (path != nullptr) {
    json->String(*path);
  } else {
    json->Null();
  }
  json->Key("line");
  if (finding.line > 0) {
    json->Int(finding.line);
  } else {
    json->Null();
  }
  json->Key("severity").String(Severity(finding));
  json->Key("code").String(finding.code);
  json->Key("message").String(finding.message);
  if (!parser_error.empty() && IsRefusal(finding)) {
    json->Key("parser_error").String(parser_error);
  }
  json->EndObject();
}

// Check's error finding for |file|, with the parser's name of its error
// in |parser_error|; the reader's own reason when check, reading the file
// again, found it readable after all.
Finding RefusalOf(const CalibFile &file, std::string *parser_error) {
  std::unique_ptr<CalibFile> again;
  for (const Finding &finding : CheckFile(file.path, &again)) {
    if (finding.is_error) {
      *parser_error = again->parser_error;
      return finding;
    }
  }
  return {0, true, "unreadable", "the tool fails: " + file.problem};
}

}  // namespace

void PrintFindings(FILE *out, const std::string &path,
                   const std::vector<Finding> &found) {
  for (const Finding &finding : found) {
    std::string where =
        finding.line > 0 ? Format("%s:%d", path.c_str(), finding.line) : path;
    fprintf(out, "%s: %s: %s [%s]\n", where.c_str(), Severity(finding),
            finding.message.c_str(), finding.code);
  }
}

void AddFindingsJson(const std::string *path, const std::vector<Finding> &found,
                     JsonWriter *json, const std::string &parser_error) {
  for (const Finding &finding : found) {
    AddFindingJson(path, finding, parser_error, json);
  }
}

void PrintErrorsJson(const std::string *path,
                     const std::vector<Finding> &found) {
  JsonWriter json;
  json.BeginObject().Key("errors").BeginArray();
  AddFindingsJson(path, found, &json);
  json.EndArray().EndObject();
  fputs(json.Text().c_str(), stdout);
}

bool ReportUnreadable(const std::vector<const CalibFile *> &files, bool json) {
  JsonWriter document;
  document.BeginObject().Key("errors").BeginArray();
  bool any = false;
  for (const CalibFile *file : files) {
    if (file->modes != nullptr) continue;
    any = true;
    std::string parser_error;
    std::vector<Finding> refusal = {RefusalOf(*file, &parser_error)};
    if (json) {
      AddFindingsJson(&file->path, refusal, &document, parser_error);
    } else {
      PrintFindings(stderr, file->path, refusal);
    }
  }
  document.EndArray().EndObject();
  if (any && json) fputs(document.Text().c_str(), stdout);
  return any;
}

}  // namespace inspect
