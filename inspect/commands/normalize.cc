// normalize: a file as the tool reads and writes it, without combining.
// What check finds in it is listed with what the rewrite made of it, so
// that nothing the rewrite drops goes unseen.
#include <stdio.h>

#include <string>
#include <vector>

#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/edit/rewrite.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/codes.h"
#include "inspect/model/findings.h"
#include "inspect/report/report.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

int Trouble(const std::string &problem) {
  fprintf(stderr, "normalize: %s\n", problem.c_str());
  return kExitTrouble;
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

// The findings of |found| whose content the rewrite loses.
std::vector<Finding> LostOf(const std::vector<Finding> &found) {
  std::vector<Finding> lost;
  for (const Finding &finding : found) {
    if (RewriteOf(finding) == Rewrite::kLost) lost.push_back(finding);
  }
  return lost;
}

// Where --in-place without --lossy would lose what |path| says: lists
// what and says why nothing was written; false when nothing is lost.
bool RefusesLoss(const std::string &path, const std::vector<Finding> &found) {
  std::vector<Finding> lost = LostOf(found);
  if (lost.empty()) return false;
  PrintRewritten(path, lost);
  fprintf(stderr,
          "normalize: nothing written: rewriting %s in place would lose what "
          "%s above say%s; give --lossy to rewrite it all the same, or -o OUT "
          "to write the rewrite elsewhere\n",
          path.c_str(),
          Count(static_cast<long long>(lost.size()), "finding").c_str(),
          lost.size() == 1 ? "s" : "");
  return true;
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

std::string CheckNormalize(const Args &args) {
  bool in_place = args.Has("--in-place");
  if (in_place == args.Has("-o")) {
    return "normalize takes either -o OUT or --in-place";
  }
  if (in_place && FilesOf(args)[0] == "-") {
    return "normalize --in-place needs a FILE, not standard input";
  }
  if (args.Has("--lossy") && !in_place) return "--lossy goes with --in-place";
  return "";
}

int Normalize(const Args &args) {
  const std::string path = FilesOf(args)[0];
  bool in_place = args.Has("--in-place");
  const std::string target = in_place ? path : args.Text("-o");
  // check's findings, and the file as the reader read it, from one read.
  std::unique_ptr<CalibFile> file;
  int comments = 0;
  std::vector<Finding> found = CheckFile(path, &file, &comments);
  if (ReportUnreadable({file.get()}, false)) {
    return Trouble("nothing written: the tool cannot read " + path);
  }
  // The rewrite needs what the reader made of the file, not its document.
  LetGoOfDocument(file.get());
  if (!in_place && NamesOneFile(path, target)) {
    return Trouble(Format(
        "%s not written: it is %s itself, which only --in-place writes over",
        target.c_str(), path.c_str()));
  }
  if (in_place && !args.Has("--lossy") && RefusesLoss(path, found)) {
    return kExitTrouble;
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
  std::string written = in_place ? "rewrote " + path + " in place"
                                 : "wrote " + OutputName(target);
  fprintf(stderr, "normalize: %s; %s%s\n", written.c_str(),
          Tally(path, found).c_str(), CommentsDropped(comments).c_str());
  return kExitNothing;
}

}  // namespace

const Command kNormalizeCommand = {
    {"normalize",
     {"-o", "--in-place", "--lossy"},
     1,
     1,
     "normalize takes one FILE",
     CheckNormalize},
    "normalize FILE (-o OUT | --in-place [--lossy])",
    "FILE as rimbolt reads and writes it, without combining;\n"
    "             what the rewrite drops is listed on standard error",
    Normalize,
};

}  // namespace inspect
