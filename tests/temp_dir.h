// A private temporary folder for tests and benchmarks.
#ifndef TESTS_TEMP_DIR_H_
#define TESTS_TEMP_DIR_H_

#include <string>

#include "inspect/base/private_folder.h"

namespace rimbolt_test {

// Where temporary folders go, as for rimbolt-inspect's private files.
using inspect::TempBase;

// A fresh folder under TempBase(),
// removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string &path() const { return path_; }
  // |name| inside the folder.
  std::string File(const std::string &name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace rimbolt_test

#endif  // TESTS_TEMP_DIR_H_
