#include "calib_db/temp_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

// Everything in the folder goes with it, sub-folders too, even when the
// folder was left without write permission (which only binds a user other
// than root).
TEST(TempFolderTest, GoesWithAllItHolds) {
  std::string path;
  {
    tavo::TempFolder folder("rimbolt-test");
    ASSERT_EQ(folder.problem(), "");
    path = folder.path();
    ASSERT_EQ(mkdir(folder.File("sub").c_str(), 0700), 0);
    WriteFile(folder.File("sub/file"), "x");
    WriteFile(folder.File("file"), "y");
    ASSERT_EQ(chmod(path.c_str(), 0500), 0);
  }
  EXPECT_FALSE(FileExists(path));
}

TEST(TempFolderTest, SaysWhyThereIsNone) {
  TempDir dir;
  const std::string missing = dir.File("missing");
  const char *old_tmp = getenv("TMPDIR");
  const std::string saved = old_tmp != nullptr ? old_tmp : "";
  setenv("TMPDIR", missing.c_str(), 1);
  tavo::TempFolder folder;
  if (old_tmp != nullptr) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_EQ(folder.path(), "");
  EXPECT_EQ(folder.problem(), "cannot make a folder in " + missing +
                                  ": No such file or directory");
}

}  // namespace
}  // namespace rimbolt_test
