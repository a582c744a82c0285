#include "calib_db/temp_folder.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <system_error>

namespace tavo {

std::string TempBase() {
  const char *base = getenv("TMPDIR");
  if (base != nullptr && *base != '\0') return base;
#if defined(__ANDROID__)
  return "/data/local/tmp";
#else
  return "/tmp";
#endif
}

TempFolder::TempFolder(const std::string &prefix) {
  const std::string base = TempBase();
  std::string pattern = base + "/" + prefix + ".XXXXXX";
  if (mkdtemp(&pattern[0]) != nullptr) {
    path_ = pattern;
  } else {
    const int error = errno;
    problem_ = "cannot make a folder in " + base + ": " + strerror(error);
  }
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  // A test may leave the folder without write permission.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tavo
