// A folder of this process alone, for the files the tool's class must be
// given by path and that nobody may see or find left behind.
#ifndef INSPECT_BASE_PRIVATE_FOLDER_H_
#define INSPECT_BASE_PRIVATE_FOLDER_H_

#include <stdlib.h>

#include <string>

namespace inspect {

// Where private files go: $TMPDIR when set, else the folder a device gives
// programs run from a shell (a device has no /tmp), else /tmp.
inline std::string TempBase() {
  const char *base = getenv("TMPDIR");
  if (base != nullptr && *base != '\0') return base;
#if defined(__ANDROID__)
  return "/data/local/tmp";
#else
  return "/tmp";
#endif
}

// Makes a new folder under TempBase() and removes it, with everything in
// it, when it goes.
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder &) = delete;
  PrivateFolder &operator=(const PrivateFolder &) = delete;

  // The folder's path; "" when none could be made (see |problem|).
  const std::string &path() const { return path_; }
  // Why there is no folder ("cannot make a folder in /tmp: ..."); "" when
  // there is.
  const std::string &problem() const { return problem_; }

 private:
  std::string path_;
  std::string problem_;
};

}  // namespace inspect

#endif  // INSPECT_BASE_PRIVATE_FOLDER_H_
