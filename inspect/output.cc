#include "inspect/output.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace inspect {

namespace {

std::string WriteStandardOutput(const tavo::FilePrinter &print) {
  errno = 0;
  bool written = print(stdout) && ferror(stdout) == 0;
  if (fflush(stdout) == 0 && written) return "";
  return errno != 0 ? strerror(errno) : "write error";
}

}  // namespace

std::string OutputName(const std::string &path) {
  return path.empty() || path == "-" ? "standard output" : path;
}

std::string WriteOutput(const std::string &path,
                        const tavo::FilePrinter &print) {
  if (path.empty() || path == "-") return WriteStandardOutput(print);
  std::string link = tavo::LinkRefusedAt(path.c_str());
  if (!link.empty()) {
    return "not following symbolic link " + link + ", which root does not own";
  }
  errno = 0;
  if (tavo::SaveFileContent(path.c_str(), print) == 0) return "";
  return errno != 0 ? strerror(errno) : "the save failed";
}

std::string WriteOutput(const std::string &path, const std::string &content) {
  return WriteOutput(path, [&content](FILE *file) {
    return fwrite(content.data(), 1, content.size(), file) == content.size();
  });
}

}  // namespace inspect
