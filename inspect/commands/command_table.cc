#include "inspect/commands/command_table.h"

#include "inspect/base/text.h"
#include "inspect/report/filter.h"

namespace inspect {

namespace {

const Command *const kCommands[] = {
    &kShowCommand,      &kCheckCommand,   &kDiffCommand,
    &kNormalizeCommand, &kExtractCommand, &kInjectCommand,
};

constexpr char kOptionsHelp[] =
    "  FILTERS    --display D, --mode M, --feature T: only that display,\n"
    "             mode ID, feature type; D and M may be negative\n"
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
    "A FILE, OLD, NEW or BIN of - is standard input. An option that takes\n"
    "one value may be given once; --error-on and --ignore add codes.\n"
    "Exit status: 0 nothing found, no difference or written; 1 findings or\n"
    "differences; 2 trouble (a file rimbolt cannot read, a bad command\n"
    "line, a payload that is not there, a file not written).\n";

}  // namespace

const Command *FindCommand(const std::string &name) {
  for (const Command *command : kCommands) {
    if (name == command->syntax.name) return command;
  }
  return nullptr;
}

const std::vector<OptionSyntax> &AllOptions() {
  static const std::vector<OptionSyntax> options = {
      {"--help", OptionKind::kFlag},
      {"-h", OptionKind::kFlag},
      {"--version", OptionKind::kFlag},
      {"--json", OptionKind::kFlag},
      {"--display", OptionKind::kId},
      {"--mode", OptionKind::kId},
      {"--feature", OptionKind::kNumber},
      {"--lut", OptionKind::kNumber},
      {"--error-on", OptionKind::kList, GateCodeProblem},
      {"--ignore", OptionKind::kList, GateCodeProblem},
      {"--bytes", OptionKind::kFlag},
      {"--max", OptionKind::kNumber},
      {"--hex", OptionKind::kFlag},
      {"-o", OptionKind::kText},
      {"--in-place", OptionKind::kFlag},
      {"--from", OptionKind::kText},
      {"--lossy", OptionKind::kFlag},
      {"--allow-empty", OptionKind::kFlag},
  };
  return options;
}

std::string UsageText() {
  std::string synopsis, summaries;
  for (const Command *command : kCommands) {
    synopsis +=
        Format("%s rimbolt-inspect %s\n",
               synopsis.empty() ? "usage:" : "      ", command->synopsis);
    summaries += Format("  %-10s %s\n", command->syntax.name, command->summary);
  }
  synopsis += "       rimbolt-inspect --version [--json]\n";
  return synopsis + "\n" + summaries + "\n" + kOptionsHelp;
}

Selection SelectionFrom(const Args &args) {
  return {args.Number("--display"), args.Number("--mode"),
          args.Number("--feature")};
}

PayloadAddress PayloadAddressFrom(const Args &args) {
  return {args.Number("--display").value_or(0),
          args.Number("--mode").value_or(0),
          args.Number("--feature").value_or(0), args.Number("--lut")};
}

std::string PayloadAddressProblem(const Args &args) {
  int given =
      args.Has("--display") + args.Has("--mode") + args.Has("--feature");
  if (args.Has("--lut")) {
    return given > 0 ? "--lut does not go with --display, --mode, --feature"
                     : "";
  }
  return given < 3 ? args.words()[0] +
                         " needs --display, --mode and --feature, or --lut"
                   : "";
}

std::vector<std::string> FilesOf(const Args &args) {
  return std::vector<std::string>(args.words().begin() + 1, args.words().end());
}

}  // namespace inspect
