// A private temporary folder, for rimbolt-inspect's files that must be given
// by path and that nobody may see or find left behind, and for the tests.
#ifndef CALIB_DB_TEMP_FOLDER_H_
#define CALIB_DB_TEMP_FOLDER_H_

#include <string>

namespace tavo {

// Where temporary folders go: $TMPDIR when set, else the folder a device
// gives programs run from a shell (a device has no /tmp), else /tmp.
std::string TempBase();

// A new folder "<prefix>.XXXXXX" under TempBase(), made by the constructor
// and removed with everything in it (its owner's write permission restored
// first) when the object goes.
class TempFolder {
 public:
  explicit TempFolder(const std::string &prefix = "rimbolt");
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  // The folder's path; "" when none could be made (see |problem|).
  const std::string &path() const { return path_; }
  // Why there is no folder ("cannot make a folder in /tmp: ..."); "" when
  // there is.
  const std::string &problem() const { return problem_; }
  // |name| inside the folder.
  std::string File(const std::string &name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string problem_;
};

}  // namespace tavo

#endif  // CALIB_DB_TEMP_FOLDER_H_
