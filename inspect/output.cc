#include "inspect/output.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "calib_db/document_file.h"

namespace inspect {

namespace {

std::string WriteStandardOutput(const std::string &content) {
  errno = 0;
  bool written =
      fwrite(content.data(), 1, content.size(), stdout) == content.size();
  if (fflush(stdout) == 0 && written) return "";
  return errno != 0 ? strerror(errno) : "write error";
}

}  // namespace

std::string WriteOutput(const std::string &path, const std::string &content) {
  if (path.empty() || path == "-") return WriteStandardOutput(content);
  std::string link = tavo::LinkRefusedAt(path.c_str());
  if (!link.empty()) {
    return "not following symbolic link " + link + ", which root does not own";
  }
  errno = 0;
  int saved = tavo::SaveFileContent(path.c_str(), [&content](FILE *file) {
    return fwrite(content.data(), 1, content.size(), file) == content.size();
  });
  if (saved == 0) return "";
  return errno != 0 ? strerror(errno) : "the save failed";
}

}  // namespace inspect
