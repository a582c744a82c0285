#include "inspect/report/report.h"

#include "inspect/base/text.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

const char *Severity(const Finding &finding) {
  return finding.is_error ? "error" : "warning";
}

void AddFindingJson(const std::string *path, const Finding &finding,
                    JsonWriter *json) {
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
  json->EndObject();
}

// Check's error finding for |file|; the reader's own reason when check,
// reading the file again, found it readable after all.
Finding RefusalOf(const CalibFile &file) {
  for (const Finding &finding : CheckFile(file.path)) {
    if (finding.is_error) return finding;
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
                     JsonWriter *json) {
  for (const Finding &finding : found) AddFindingJson(path, finding, json);
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
    std::vector<Finding> refusal = {RefusalOf(*file)};
    if (json) {
      AddFindingsJson(&file->path, refusal, &document);
    } else {
      PrintFindings(stderr, file->path, refusal);
    }
  }
  document.EndArray().EndObject();
  if (any && json) fputs(document.Text().c_str(), stdout);
  return any;
}

}  // namespace inspect
