#include "inspect/report/report.h"

#include <stdio.h>
#include <string.h>

#include <memory>

#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

// Check's error finding for |file|, with the parser's name of its error;
// the reader's own reason when check, reading the file again, found it
// readable after all.
Error RefusalOf(const CalibFile &file) {
  std::unique_ptr<CalibFile> again;
  for (const Finding &finding : CheckFile(file.path, &again)) {
    if (finding.is_error) return {&file.path, finding, again->parser_error};
  }
  return {&file.path,
          {0, true, "unreadable", "the tool fails: " + file.problem},
          ""};
}

}  // namespace

void PrintFinding(const Error &error, Printer *out) {
  const Finding &finding = error.finding;
  out->BeginObject();
  if (error.path != nullptr) {
    out->String("file", *error.path);
  } else {
    out->Null("file");
  }
  out->IntOrNull("line", finding.line > 0 ? std::optional<int64_t>(finding.line)
                                          : std::nullopt);
  out->String("severity", finding.is_error ? "error" : "warning");
  out->String("code", finding.code);
  out->String("message", finding.message);
  // Only for the finding that the tool cannot read the file, not for a
  // warning that a gate made an error.
  if (!error.parser_error.empty() && finding.is_error &&
      strcmp(finding.code, "unreadable") == 0) {
    out->String("parser_error", error.parser_error);
  }
  out->Line(finding.line > 0 ? "{file}:{line}: {severity}: {message} [{code}]"
                             : "{file}: {severity}: {message} [{code}]");
  out->EndObject();
}

void PrintErrors(const std::vector<Error> &errors, bool json) {
  std::unique_ptr<Printer> out = MakePrinter(json, stderr);
  out->BeginObject();
  out->BeginList("errors");
  for (const Error &error : errors) {
    PrintFinding(error, out.get());
  }
  out->EndList();
  out->EndObject();
  out->Finish();
}

bool ReportUnreadable(const std::vector<const CalibFile *> &files, bool json) {
  std::vector<Error> errors;
  for (const CalibFile *file : files) {
    if (file->modes == nullptr) errors.push_back(RefusalOf(*file));
  }
  if (!errors.empty()) PrintErrors(errors, json);
  return !errors.empty();
}

}  // namespace inspect
