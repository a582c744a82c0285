#include "tests/run/fixtures.h"

#include "tests/test_util.h"

namespace rimbolt_test {

testing::AssertionResult MatchesSchema(const std::string &file,
                                       const std::string &scratch_dir) {
  ProcessResult result = RunProcess(
      {"/bin/bash", RIMBOLT_SOURCE_DIR "/tests/schema/validate.sh", file},
      scratch_dir);
  if (result.status == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << file << " does not match the schema (status " << result.status
         << "):\n" << result.out << result.err;
}

}  // namespace rimbolt_test
