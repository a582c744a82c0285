// rimbolt-inspect: what a calibration file holds, what rimbolt will make of
// it, what combining changed; and edits of a file that keep to the tool's
// own reading and writing.
#include <stdio.h>
#include <tinyxml2.h>

#include <string>

#include "inspect/base/json.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/cli/options.h"
#include "inspect/commands/commands.h"
#include "inspect/report/report.h"

#ifndef RIMBOLT_VERSION
#error "RIMBOLT_VERSION is set by the build, as CMake's project version"
#endif

namespace {

constexpr char kUsage[] =
    "usage: rimbolt-inspect show [--json] [FILTERS] FILE\n"
    "       rimbolt-inspect check [--json] [FILTERS] [GATES] FILE...\n"
    "       rimbolt-inspect diff [--json] [FILTERS] [--bytes [--max N]] OLD "
    "NEW\n"
    "       rimbolt-inspect normalize FILE (-o OUT | --in-place [--lossy])\n"
    "       rimbolt-inspect extract FILE PAYLOAD [--hex] [-o OUT]\n"
    "       rimbolt-inspect inject FILE PAYLOAD --from BIN [--allow-empty] -o "
    "OUT\n"
    "       rimbolt-inspect --version [--json]\n"
    "\n"
    "  show       what rimbolt reads from FILE: modes, features and LUTs,\n"
    "             with a CRC-32 of each payload\n"
    "  check      where rimbolt will write a FILE other than it says,\n"
    "             or will fail on it\n"
    "  diff       what differs between OLD and NEW as rimbolt reads them\n"
    "  normalize  FILE as rimbolt reads and writes it, without combining;\n"
    "             what the rewrite drops is listed on standard error\n"
    "  extract    a payload's bytes as rimbolt decodes them\n"
    "  inject     FILE with one payload set from the bytes of BIN, the rest\n"
    "             of the file as it was\n"
    "\n"
    "  FILTERS    --display D, --mode M, --feature T: only that display,\n"
    "             mode ID, feature type\n"
    "  GATES      --error-on CODE[,CODE...]: those warnings are errors;\n"
    "             --ignore CODE[,CODE...]: those warnings are dropped\n"
    "  PAYLOAD    --display D --mode M --feature T: that feature's payload;\n"
    "             --lut POS: the PCC LUT in slot POS\n"
    "  --json     one JSON document on standard output, errors included\n"
    "  --bytes    list the differing bytes, at most N (--max, default 20)\n"
    "  --hex      upper-case hex digits rather than raw bytes\n"
    "  -o OUT     where to write; - is standard output\n"
    "  --in-place write over FILE, saved as rimbolt saves its output; not\n"
    "             where the rewrite loses what FILE says\n"
    "  --lossy    with --in-place: write over FILE even so\n"
    "  --from BIN the payload's bytes; a LUT's are whole 16-byte packets\n"
    "  --allow-empty\n"
    "             an empty BIN sets a payload of 0 bytes\n"
    "\n"
    "A FILE, OLD, NEW or BIN of - is standard input.\n"
    "Exit status: 0 nothing found, no difference or written; 1 findings or\n"
    "differences; 2 trouble (a file rimbolt cannot read, a bad command "
    "line, a payload that is not there, a file not written).\n";

// The usage text on stderr after |problem|; with --json, the problem as a
// "usage" error in one JSON document on stdout too.
int Usage(const std::string &problem, bool json) {
  fprintf(stderr, "rimbolt-inspect: %s\n%s", problem.c_str(), kUsage);
  if (json) {
    inspect::PrintErrorsJson(nullptr, {{0, true, "usage", problem}});
  }
  return inspect::kExitTrouble;
}

int Help(bool json) {
  if (json) {
    inspect::JsonWriter usage;
    usage.BeginObject().Key("usage").String(kUsage).EndObject();
    fputs(usage.Text().c_str(), stdout);
  } else {
    fputs(kUsage, stdout);
  }
  return inspect::kExitNothing;
}

// The tool's version and the tinyxml2 it was compiled against, whose
// reading the tool's output follows.
int Version(bool json) {
  std::string tinyxml2 =
      inspect::Format("%d.%d.%d", TIXML2_MAJOR_VERSION, TIXML2_MINOR_VERSION,
                      TIXML2_PATCH_VERSION);
  if (json) {
    inspect::JsonWriter version;
    version.BeginObject().Key("version").String(RIMBOLT_VERSION);
    version.Key("tinyxml2").String(tinyxml2).EndObject();
    fputs(version.Text().c_str(), stdout);
  } else {
    printf("rimbolt-inspect %s\nbuilt with tinyxml2 %s\n", RIMBOLT_VERSION,
           tinyxml2.c_str());
  }
  return inspect::kExitNothing;
}

int Run(const inspect::Options &options) {
  const std::string &command = options.command;
  if (command == "show") return inspect::Show(options);
  if (command == "check") return inspect::Check(options);
  if (command == "diff") return inspect::Diff(options);
  if (command == "normalize") return inspect::Normalize(options);
  if (command == "extract") return inspect::Extract(options);
  if (command == "inject") return inspect::Inject(options);
  return Usage("unknown command " + command, options.json);
}

int Dispatch(int argc, char **argv, inspect::Options *options) {
  std::string problem = inspect::ParseOptions(argc, argv, options);
  if (options->help) return Help(options->json);
  if (!problem.empty()) return Usage(problem, options->json);
  if (options->version) return Version(options->json);
  return Run(*options);
}

}  // namespace

int main(int argc, char **argv) {
  inspect::Options options;
  int status = Dispatch(argc, argv, &options);
  // What was printed counts only once it is out: a full disk or a closed
  // pipe is trouble, not success.
  std::string problem = inspect::CloseStandardOutput();
  if (problem.empty() || status == inspect::kExitTrouble) return status;
  fprintf(stderr, "%s: standard output not written: %s\n",
          options.command.empty() ? "rimbolt-inspect" : options.command.c_str(),
          problem.c_str());
  return inspect::kExitTrouble;
}
