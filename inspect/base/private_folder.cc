#include "inspect/base/private_folder.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "inspect/base/text.h"

namespace inspect {

PrivateFolder::PrivateFolder() {
  std::string pattern = TempBase() + "/rimbolt-inspect.XXXXXX";
  if (mkdtemp(&pattern[0]) != nullptr) {
    path_ = pattern;
  } else {
    problem_ = Format("cannot make a folder in %s: %s", TempBase().c_str(),
                      strerror(errno));
  }
}

PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  if (DIR *dir = opendir(path_.c_str())) {
    while (struct dirent *entry = readdir(dir)) {
      const char *name = entry->d_name;
      if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0) {
        unlinkat(dirfd(dir), name, 0);
      }
    }
    closedir(dir);
  }
  rmdir(path_.c_str());
}

}  // namespace inspect
