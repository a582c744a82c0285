// Collects what the tool's reader logs, so that a refusal is reported with
// the reason the tool itself gives instead of spilling onto stderr.
#ifndef INSPECT_BASE_LOG_CAPTURE_H_
#define INSPECT_BASE_LOG_CAPTURE_H_

#include <string>

namespace inspect {

// Takes the process's log for its lifetime and gives it back to the
// platform's default logger after. One at a time.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture &) = delete;
  LogCapture &operator=(const LogCapture &) = delete;

  // The warnings and errors logged so far, "; " between them, each without
  // the operation and source line the log puts in front; "" when none.
  std::string Problems() const;
};

}  // namespace inspect

#endif  // INSPECT_BASE_LOG_CAPTURE_H_
