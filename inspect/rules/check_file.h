// What check finds in a file.
#ifndef INSPECT_RULES_CHECK_FILE_H_
#define INSPECT_RULES_CHECK_FILE_H_

#include <memory>
#include <string>
#include <vector>

#include "inspect/model/calib_file.h"
#include "inspect/model/findings.h"

namespace inspect {

// Everything check finds in the file at |path|, in the order of lines.
// When |read| is not null it gets the file as the reader read it; when
// |comments| is not null, the number of comments in the file (0 when it
// does not parse), which check does not report.
std::vector<Finding> CheckFile(const std::string &path,
                               std::unique_ptr<CalibFile> *read = nullptr,
                               int *comments = nullptr);

}  // namespace inspect

#endif  // INSPECT_RULES_CHECK_FILE_H_
