#include "inspect/rewrite.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "calib_db/document_file.h"
#include "calib_db/xml_database_test.h"
#include "inspect/log_capture.h"
#include "inspect/text.h"

namespace inspect {

namespace {

// The tool's output file type, which decides what it writes as IsAppMode.
constexpr tavo::FileType kOutputType = tavo::kFileTypeFactory;

// Where the private folder goes: $TMPDIR when set, else the folder a
// device gives programs run from a shell (it has no /tmp), else /tmp.
std::string TempBase() {
  const char *base = getenv("TMPDIR");
  if (base != nullptr && *base != '\0') return base;
#if defined(__ANDROID__)
  return "/data/local/tmp";
#else
  return "/tmp";
#endif
}

// A folder of this process alone, removed with what it holds: the class
// writes a document only to a path, and what it writes there must neither
// be seen nor stay.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::string pattern = TempBase() + "/rimbolt-inspect.XXXXXX";
    if (mkdtemp(&pattern[0]) != nullptr) {
      path_ = pattern;
    } else {
      problem_ = Format("cannot make a folder in %s: %s", TempBase().c_str(),
                        strerror(errno));
    }
  }
  ~PrivateFolder() {
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
  PrivateFolder(const PrivateFolder &) = delete;
  PrivateFolder &operator=(const PrivateFolder &) = delete;

  const std::string &path() const { return path_; }
  // Why there is no folder; "" when there is.
  const std::string &problem() const { return problem_; }

 private:
  std::string path_;
  std::string problem_;
};

// What the writer logged, after |what| failed.
std::string WriterProblem(const char *what, const LogCapture &log) {
  std::string logged = log.Problems();
  return logged.empty() ? Format("the tool's writer fails to %s", what)
                        : Format("the tool's writer fails to %s: %s", what,
                                 logged.c_str());
}

}  // namespace

std::string RewriteCalibFile(const CalibFile &file, std::string *text) {
  PrivateFolder folder;
  if (folder.path().empty()) return folder.problem();
  std::string path = folder.path() + "/output.xml";
  // The class cuts a longer path, and would write elsewhere.
  if (path.size() >= static_cast<size_t>(tavo::kPathSize)) {
    return Format("the temporary folder's path %s is too long for the tool",
                  folder.path().c_str());
  }
  LogCapture log;
  tavo::XmlDatabaseTest output(kOutputType, path.c_str());
  if (output.EditFile() != 0) return WriterProblem("open its output", log);
  if (output.AddModes(file.modes.get()) != 0) {
    return WriterProblem("write the modes", log);
  }
  // The tool logs a LUT section it cannot write whole and saves the rest;
  // a rewrite that is to lose nothing unseen writes nothing instead.
  if (file.luts != nullptr && output.AddLuts(file.luts) != 0) {
    return WriterProblem("write the LUTs", log);
  }
  if (output.SaveAndCloseFile() != 0) {
    return WriterProblem("save its output", log);
  }
  std::string problem = ReadWholeFile(path, text);
  if (!problem.empty()) {
    return Format("cannot read the output back from %s: %s", path.c_str(),
                  problem.c_str());
  }
  return "";
}

std::string SaveText(const std::string &target, const std::string &text) {
  if (target == "-") {
    if (fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        fflush(stdout) != 0) {
      return Format("standard output not written: %s", strerror(errno));
    }
    return "";
  }
  std::string link = tavo::LinkRefusedAt(target.c_str());
  if (!link.empty()) {
    return Format(
        "%s not written: not following symbolic link %s, which "
        "root does not own",
        target.c_str(), link.c_str());
  }
  errno = 0;
  int saved = tavo::SaveFileContent(target.c_str(), [&text](FILE *file) {
    return fwrite(text.data(), 1, text.size(), file) == text.size();
  });
  if (saved == 0) return "";
  int reason = errno;
  return Format("%s not written: %s", target.c_str(),
                reason != 0 ? strerror(reason) : "the save failed");
}

}  // namespace inspect
