#include "tests/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace rimbolt_test {

TempDir::TempDir() {
  std::string pattern = TempBase() + "/rimbolt-XXXXXX";
  if (mkdtemp(&pattern[0]) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  // Tests may leave the folder without write permission.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace rimbolt_test
