#include "tests/run/fixtures.h"

#include <sstream>

#include "driver/run.h"
#include "tests/test_util.h"

namespace rimbolt_test {

std::vector<std::string> EmulatedCommand(const std::string &binary) {
  std::vector<std::string> command;
  std::istringstream emulator(RIMBOLT_EMULATOR);
  std::string word;
  while (emulator >> word) command.push_back(word);
  command.push_back(binary);
  return command;
}

std::vector<std::string> BinaryCommand() {
  return EmulatedCommand(RIMBOLT_BINARY);
}

RunResult RunInProcess(std::vector<std::string> args,
                       const std::string &output) {
  args.insert(args.begin(), "rimbolt");
  std::vector<char *> argv;
  for (std::string &arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  LogCapture log;
  testing::internal::CaptureStdout();
  int status = tavo::RunRimbolt(static_cast<int>(args.size()), argv.data(),
                                output.c_str());
  std::string out = testing::internal::GetCapturedStdout();
  std::vector<std::string> logged = log.Lines();
  return {status, out, WithoutLineNumbers(logged), logged};
}

testing::AssertionResult MatchesSchema(const std::string &file,
                                       const std::string &scratch_dir) {
  ProcessResult result = RunProcess(
      {"/bin/bash", RIMBOLT_SOURCE_DIR "/tests/schema/validate.sh", file},
      scratch_dir);
  if (result.status == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << file << " does not match the schema (status " << result.status
         << "):\n"
         << result.out << result.err;
}

}  // namespace rimbolt_test
