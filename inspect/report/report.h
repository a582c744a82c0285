// How findings reach the user: in the compiler's form for a person, or as
// JSON; and the report of files the tool cannot read, which every command
// gives in the same words as check.
#ifndef INSPECT_REPORT_REPORT_H_
#define INSPECT_REPORT_REPORT_H_

#include <string>
#include <vector>

#include "inspect/base/printer.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/findings.h"

namespace inspect {

// A finding to report: |finding| in the file at |path| (null for none),
// with the |parser_error| that PrintFinding adds.
struct Error {
  const std::string *path;
  Finding finding;
  std::string parser_error;
};

// Prints |error|'s finding, in the file at its path, as the object
// {"file", "line", "severity", "code", "message"} ("file" and "line" null
// where there is none), or as the text "path:line: severity: message
// [code]" (no line where it has none). Its parser_error (the parser's own
// name of why it refused the file, CalibFile::parser_error) is added to
// the finding that the tool cannot read the file.
void PrintFinding(const Error &error, Printer *out);

// Prints |errors| as text on stderr or, with |json|, as the one JSON
// document {"errors": [...]} on stdout.
void PrintErrors(const std::vector<Error> &errors, bool json);

// Whether the tool cannot read any of |files|. Each such file is reported
// with check's error finding, its reason and line, by PrintErrors.
bool ReportUnreadable(const std::vector<const CalibFile *> &files, bool json);

}  // namespace inspect

#endif  // INSPECT_REPORT_REPORT_H_
