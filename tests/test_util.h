// Shared helpers of the tests: private temporary folders, whole-file I/O
// and the log lines a block of code writes.
#ifndef TESTS_TEST_UTIL_H_
#define TESTS_TEST_UTIL_H_

#include <string>
#include <vector>

#include "tests/temp_dir.h"

namespace rimbolt_test {

void WriteFile(const std::string &path, const std::string &content);
// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string &path);
bool FileExists(const std::string &path);

// Captures the log messages written between construction and Lines(),
// through the log library's logger hook, as "<letter>/<tag>: <message>";
// while it captures, nothing reaches the log itself.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  // The captured lines, without their line ends. Ends the capture.
  std::vector<std::string> Lines();

 private:
  void Stop();

  bool active_;
  std::vector<std::string> lines_;
};

// The log line with its "(operation):(line) " prefix's line number taken
// out: "E/Rimbolt: LoadFile():61 X" becomes "E/Rimbolt: LoadFile() X".
std::string WithoutLineNumber(const std::string &line);
std::vector<std::string> WithoutLineNumbers(
    const std::vector<std::string> &lines);

struct ProcessResult {
  int status;  // the exit status, or -1 when the process did not exit
  std::string out;
  std::string err;
};

// Runs |args| (the program first) with standard output and error captured
// through files in |scratch_dir|.
ProcessResult RunProcess(const std::vector<std::string> &args,
                         const std::string &scratch_dir);

// Upper-case hex of |bytes|, as the writer puts payloads into a file.
std::string Hex(const std::vector<unsigned char> &bytes);

}  // namespace rimbolt_test

#endif  // TESTS_TEST_UTIL_H_
