#include "inspect/base/output.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "inspect/base/text.h"

namespace inspect {

namespace {

bool IsStandardOutput(const std::string &path) {
  return path.empty() || path == "-";
}

// The system's reason for the failure just seen, or |otherwise| when it
// left none.
std::string Reason(const char *otherwise) {
  return errno != 0 ? strerror(errno) : otherwise;
}

}  // namespace

std::string OutputName(const std::string &path) {
  return IsStandardOutput(path) ? "standard output" : path;
}

bool NamesOneFile(const std::string &a, const std::string &b) {
  if (a == "-" || b == "-") return false;
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string WriteOutput(const std::string &path,
                        const tavo::FilePrinter &print) {
  errno = 0;
  if (IsStandardOutput(path)) {
    bool written = print(stdout) && ferror(stdout) == 0;
    if (fflush(stdout) == 0 && written) return "";
    return Reason("write error");
  }
  std::string link = tavo::LinkRefusedAt(path.c_str());
  if (!link.empty()) {
    return "not following symbolic link " + link + ", which root does not own";
  }
  // A new file would part the names of a file with hard links.
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      info.st_nlink >= 2) {
    return Format(
        "it is one of %ju hard links to one file, which a new file would "
        "part; write to another file and copy it over (cp keeps the links)",
        static_cast<uintmax_t>(info.st_nlink));
  }
  errno = 0;
  if (tavo::SaveFileContent(path.c_str(), print) == 0) return "";
  return Reason("the save failed");
}

std::string WriteOutput(const std::string &path, const std::string &content) {
  return WriteOutput(path, [&content](FILE *file) {
    return fwrite(content.data(), 1, content.size(), file) == content.size();
  });
}

std::string CloseStandardOutput() {
  // Writing nothing more still flushes and checks what was printed.
  std::string reason = WriteOutput("", [](FILE *) { return true; });
  errno = 0;
  if (fclose(stdout) != 0 && reason.empty()) reason = Reason("write error");
  return reason;
}

}  // namespace inspect
