// normalize: a file as the tool reads and writes it, without combining.
// What check finds in it is listed with what the rewrite made of it, so
// that nothing the rewrite drops goes unseen.
#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "inspect/calib_file.h"
#include "inspect/codes.h"
#include "inspect/commands.h"
#include "inspect/findings.h"
#include "inspect/output.h"
#include "inspect/report.h"
#include "inspect/rewrite.h"
#include "inspect/text.h"

namespace inspect {

namespace {

int Trouble(const std::string &problem) {
  fprintf(stderr, "normalize: %s\n", problem.c_str());
  return kExitTrouble;
}

// Why -o |output| must not be written: it is the file |input| names, which
// only --in-place writes over. "" otherwise.
std::string SameFileProblem(const std::string &input,
                            const std::string &output) {
  if (input == "-" || output == "-") return "";
  struct stat in, out;
  if (stat(input.c_str(), &in) != 0 || stat(output.c_str(), &out) != 0 ||
      in.st_dev != out.st_dev || in.st_ino != out.st_ino) {
    return "";
  }
  return Format(
      "%s not written: it is %s itself, which only --in-place "
      "writes over",
      output.c_str(), input.c_str());
}

Rewrite RewriteOf(const Finding &finding) {
  const Code *code = FindCode(finding.code);
  return code != nullptr ? code->rewrite : Rewrite::kLost;
}

// Prints |found| in check's form, each with what the rewrite made of it.
void PrintRewritten(const std::string &path, std::vector<Finding> found) {
  for (Finding &finding : found) {
    finding.message +=
        Format(" (normalize: %s)", RewriteName(RewriteOf(finding)));
  }
  PrintFindings(stderr, path, found);
}

// "3 findings in qa.xml: 2 lost, 1 kept", or "nothing found in qa.xml".
std::string Tally(const std::string &path, const std::vector<Finding> &found) {
  if (found.empty()) return "nothing found in " + path;
  std::string tally =
      Count(static_cast<long long>(found.size()), "finding") + " in " + path;
  const char *separator = ": ";
  for (Rewrite rewrite :
       {Rewrite::kLost, Rewrite::kSettled, Rewrite::kKept, Rewrite::kRefused}) {
    long long count = 0;
    for (const Finding &finding : found) count += RewriteOf(finding) == rewrite;
    if (count == 0) continue;
    tally += Format("%s%lld %s", separator, count, RewriteName(rewrite));
    separator = ", ";
  }
  return tally;
}

// "; 2 comments not carried" for |count| comments in the file, which the
// tool's output never holds and check does not report; "" for none.
std::string CommentsDropped(int count) {
  if (count == 0) return "";
  return "; " + Count(count, "comment") + " not carried";
}

std::string Written(const Options &options) {
  if (options.in_place) return "rewrote " + options.files[0] + " in place";
  return "wrote " + OutputName(options.output);
}

}  // namespace

int Normalize(const Options &options) {
  const std::string &path = options.files[0];
  const std::string &target = options.in_place ? path : options.output;
  // check's findings, and the file as the reader read it, from one read.
  std::unique_ptr<CalibFile> file;
  int comments = 0;
  std::vector<Finding> found = CheckFile(path, &file, &comments);
  if (ReportUnreadable({file.get()}, false)) {
    return Trouble("nothing written: the tool cannot read " + path);
  }
  // The rewrite needs what the reader made of the file, not its document.
  LetGoOfDocument(file.get());
  if (!options.in_place) {
    std::string same = SameFileProblem(path, target);
    if (!same.empty()) return Trouble(same);
  }
  RewrittenFile rewritten;
  std::string problem = rewritten.Fill(*file);
  if (!problem.empty()) {
    return Trouble(Format("nothing written: %s", problem.c_str()));
  }
  problem = rewritten.WriteTo(target);
  if (!problem.empty()) {
    return Trouble(Format("%s not written: %s", OutputName(target).c_str(),
                          problem.c_str()));
  }
  PrintRewritten(path, found);
  fprintf(stderr, "normalize: %s; %s%s\n", Written(options).c_str(),
          Tally(path, found).c_str(), CommentsDropped(comments).c_str());
  return kExitNothing;
}

}  // namespace inspect
