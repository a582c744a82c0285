// normalize: a file as the tool reads and writes it, without combining.
// What check finds in it is listed with what the rewrite made of it, so
// that nothing the rewrite drops goes unseen.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calib_db/temp_folder.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/commands/refusals.h"
#include "inspect/edit/rewrite.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/codes.h"
#include "inspect/model/findings.h"
#include "inspect/report/report.h"
#include "inspect/rules/check_file.h"

namespace inspect {

namespace {

// How closely a finding of the rewritten file must answer one of the
// file: tried in this order, so that the closest answers are taken first.
enum class Match { kSameMessage, kSamePlace, kAnyPlace };

// Whether |again| answers |finding| as closely as |match| asks. A finding
// in no mode (of a section, of the file) may be answered anywhere: the
// rewrite writes what it is about as elements of their own (blank modes).
bool Answers(const Finding &again, const Finding &finding, Match match) {
  if (strcmp(again.code, finding.code) != 0) return false;
  const FindingPlace &a = again.place, &b = finding.place;
  if (match == Match::kAnyPlace) {
    return !b.display.has_value() && !b.mode.has_value() &&
           !b.feature.has_value();
  }
  return a.display == b.display && a.mode == b.mode && a.feature == b.feature &&
         (match == Match::kSamePlace || again.message == finding.message);
}

// What the rewrite made of each of |found|, decided from |again|, what
// check finds in the rewritten file: kept where it finds the same there
// (one finding there answers one here, the same message first); else what
// the code does where its difference is gone, which for a code that
// otherwise keeps it means the rewrite changed what the file said.
std::vector<Rewrite> FatesOf(const std::vector<Finding> &found,
                             const std::vector<Finding> &again) {
  // Each starts as what it becomes if nothing answers it, which is never
  // kept; an answer then makes it kept.
  std::vector<Rewrite> fates;
  for (const Finding &finding : found) {
    const Code *code = FindCode(finding.code);
    fates.push_back(code == nullptr || code->rewrite == Rewrite::kKept
                        ? Rewrite::kLost
                        : code->rewrite);
  }
  std::vector<bool> taken(again.size(), false);
  for (Match match :
       {Match::kSameMessage, Match::kSamePlace, Match::kAnyPlace}) {
    for (size_t i = 0; i < found.size(); ++i) {
      for (size_t j = 0; j < again.size() && fates[i] != Rewrite::kKept; ++j) {
        if (taken[j] || !Answers(again[j], found[i], match)) continue;
        taken[j] = true;
        fates[i] = Rewrite::kKept;
      }
    }
  }
  return fates;
}

// What check finds in |rewritten|, written to a private file for it;
// "" with |again| filled, else why it could not be written.
std::string CheckRewritten(const RewrittenFile &rewritten,
                           std::vector<Finding> *again) {
  tavo::TempFolder scratch("rimbolt-inspect");
  if (scratch.path().empty()) return scratch.problem();
  std::string copy = scratch.File("rewritten.xml");
  std::string problem = rewritten.WriteTo(copy);
  if (problem.empty()) *again = CheckFile(copy);
  return problem;
}

// Prints |found| in check's form, each with what the rewrite made of it;
// with |lost_only|, only those lost. Returns how many it printed.
size_t PrintRewritten(const std::string &path,
                      const std::vector<Finding> &found,
                      const std::vector<Rewrite> &fates, bool lost_only) {
  std::vector<Error> printed;
  for (size_t i = 0; i < found.size(); ++i) {
    if (lost_only && fates[i] != Rewrite::kLost) continue;
    printed.push_back({&path, found[i], ""});
    printed.back().finding.message +=
        Format(" (normalize: %s)", RewriteName(fates[i]));
  }
  PrintErrors(printed, false);
  return printed.size();
}

// "3 findings in qa.xml: 2 lost, 1 kept", or "nothing found in qa.xml".
std::string Tally(const std::string &path, const std::vector<Finding> &found,
                  const std::vector<Rewrite> &fates) {
  if (found.empty()) return "nothing found in " + path;
  std::string tally = Count(found.size(), "finding") + " in " + path;
  const char *separator = ": ";
  for (Rewrite rewrite :
       {Rewrite::kLost, Rewrite::kSettled, Rewrite::kKept, Rewrite::kRefused}) {
    long long count = std::count(fates.begin(), fates.end(), rewrite);
    if (count == 0) continue;
    tally += Format("%s%lld %s", separator, count, RewriteName(rewrite));
    separator = ", ";
  }
  return tally;
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
  if (RefusesUnreadable(args, *file)) return kExitTrouble;
  // The rewrite needs what the reader made of the file, not its document.
  LetGoOfDocument(file.get());
  if (!in_place &&
      RefusesSameFile(args, target, {path}, "only --in-place writes over")) {
    return kExitTrouble;
  }
  RewrittenFile rewritten;
  std::string problem = rewritten.Fill(*file);
  std::vector<Finding> again;
  if (problem.empty()) problem = CheckRewritten(rewritten, &again);
  if (!problem.empty()) return NothingWritten(args, problem);
  std::vector<Rewrite> fates = FatesOf(found, again);
  // Where --in-place without --lossy would lose what the file says, what
  // is lost is listed, and nothing is written.
  size_t lost = in_place && !args.Has("--lossy")
                    ? PrintRewritten(path, found, fates, true)
                    : 0;
  if (lost > 0) {
    return NothingWritten(
        args, Format("rewriting %s in place would lose what %s above say%s; "
                     "give --lossy to rewrite it all the same, or -o OUT to "
                     "write the rewrite elsewhere",
                     path.c_str(), Count(lost, "finding").c_str(),
                     lost == 1 ? "s" : ""));
  }
  if (NotWritten(args, target, rewritten.WriteTo(target))) return kExitTrouble;
  PrintRewritten(path, found, fates, false);
  std::string written = in_place ? "rewrote " + path + " in place"
                                 : "wrote " + OutputName(target);
  std::string tally = Tally(path, found, fates);
  // Comments, which the tool's output never holds and check does not report.
  if (comments > 0) tally += "; " + Count(comments, "comment") + " not carried";
  fprintf(stderr, "normalize: %s; %s\n", written.c_str(), tally.c_str());
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
