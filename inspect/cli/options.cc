#include "inspect/cli/options.h"

#include <limits.h>
#include <string.h>

#include "inspect/model/codes.h"

namespace inspect {

namespace {

// Bits of the options a command takes.
enum : unsigned {
  kJson = 1u << 0,
  kFilters = 1u << 1,  // --display, --mode, --feature
  kLut = 1u << 2,
  kGates = 1u << 3,  // --error-on, --ignore
  kBytes = 1u << 4,  // --bytes, --max
  kHex = 1u << 5,
  kOutput = 1u << 6,
  kInPlace = 1u << 7,
  kFrom = 1u << 8,
  kLossy = 1u << 9,
  kAllowEmpty = 1u << 10,
};

struct Command {
  const char *name;
  unsigned takes;
  size_t min_files;
  size_t max_files;
  const char *files_problem;
};

constexpr Command kCommands[] = {
    {"show", kJson | kFilters, 1, 1, "show takes one FILE"},
    {"check", kJson | kFilters | kGates, 1, SIZE_MAX,
     "check takes at least one FILE"},
    {"diff", kJson | kFilters | kBytes, 2, 2, "diff takes OLD and NEW"},
    {"normalize", kOutput | kInPlace | kLossy, 1, 1,
     "normalize takes one FILE"},
    {"extract", kFilters | kLut | kHex | kOutput, 1, 1,
     "extract takes one FILE"},
    {"inject", kFilters | kLut | kOutput | kFrom | kAllowEmpty, 1, 1,
     "inject takes one FILE"},
};

enum class Kind { kFlag, kNumber, kText, kCodes };

struct Option {
  const char *name;
  Kind kind;
  unsigned bit;
  bool Options::*flag;
  int Options::*number;
  std::string Options::*text;
  std::vector<std::string> Options::*codes;
};

constexpr Option kOptions[] = {
    {"--json", Kind::kFlag, kJson, &Options::json, nullptr, nullptr, nullptr},
    {"--display", Kind::kNumber, kFilters, nullptr, &Options::display, nullptr,
     nullptr},
    {"--mode", Kind::kNumber, kFilters, nullptr, &Options::mode, nullptr,
     nullptr},
    {"--feature", Kind::kNumber, kFilters, nullptr, &Options::feature, nullptr,
     nullptr},
    {"--lut", Kind::kNumber, kLut, nullptr, &Options::lut, nullptr, nullptr},
    {"--error-on", Kind::kCodes, kGates, nullptr, nullptr, nullptr,
     &Options::error_on},
    {"--ignore", Kind::kCodes, kGates, nullptr, nullptr, nullptr,
     &Options::ignore},
    {"--bytes", Kind::kFlag, kBytes, &Options::bytes, nullptr, nullptr,
     nullptr},
    {"--max", Kind::kNumber, kBytes, nullptr, &Options::max, nullptr, nullptr},
    {"--hex", Kind::kFlag, kHex, &Options::hex, nullptr, nullptr, nullptr},
    {"-o", Kind::kText, kOutput, nullptr, nullptr, &Options::output, nullptr},
    {"--in-place", Kind::kFlag, kInPlace, &Options::in_place, nullptr, nullptr,
     nullptr},
    {"--from", Kind::kText, kFrom, nullptr, nullptr, &Options::from, nullptr},
    {"--lossy", Kind::kFlag, kLossy, &Options::lossy, nullptr, nullptr,
     nullptr},
    {"--allow-empty", Kind::kFlag, kAllowEmpty, &Options::allow_empty, nullptr,
     nullptr, nullptr},
};

const Option *FindOption(const std::string &name) {
  for (const Option &option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

const Command *FindCommand(const std::string &name) {
  for (const Command &command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

// A plain decimal number from 0 to INT_MAX, as a person writes one.
bool ReadNumber(const std::string &text, int *value) {
  if (text.empty() || text.size() > 10) return false;
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number > INT_MAX) return false;
  *value = static_cast<int>(number);
  return true;
}

// Splits "a,b" into |codes|, each one of check's codes.
std::string ReadCodes(const Option &option, const std::string &text,
                      std::vector<std::string> *codes) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string code = text.substr(start, comma - start);
    const Code *known = FindCode(code.c_str());
    if (known == nullptr) {
      return "unknown code '" + code + "' for " + option.name;
    }
    if (known->is_error && strcmp(option.name, "--ignore") == 0) {
      return "--ignore cannot drop " + code + ": the tool fails on the file";
    }
    codes->push_back(code);
    start = comma + 1;
  }
  return "";
}

std::string SetOption(const Option &option, const std::string &value,
                      Options *options) {
  switch (option.kind) {
    case Kind::kFlag:
      options->*option.flag = true;
      return "";
    case Kind::kNumber:
      if (!ReadNumber(value, &(options->*option.number))) {
        return std::string(option.name) + " takes a number, not '" + value +
               "'";
      }
      return "";
    case Kind::kText:
      if (value.empty()) return std::string(option.name) + " takes a file";
      options->*option.text = value;
      return "";
    case Kind::kCodes:
      return ReadCodes(option, value, &(options->*option.codes));
  }
  return "";
}

// Which payload extract and inject work on: a whole feature address, or a
// LUT slot alone.
std::string CheckSelection(const Options &options) {
  bool any_feature = options.display != kNotGiven ||
                     options.mode != kNotGiven || options.feature != kNotGiven;
  bool whole_feature = options.display != kNotGiven &&
                       options.mode != kNotGiven &&
                       options.feature != kNotGiven;
  if (options.lut != kNotGiven) {
    if (any_feature)
      return "--lut does not go with --display, --mode, --feature";
    return "";
  }
  if (!whole_feature) {
    return options.command + " needs --display, --mode and --feature, or --lut";
  }
  return "";
}

// What the options given ask of one another and of the command.
std::string CheckCombination(const Options &options, bool max_given) {
  const std::string &command = options.command;
  if (max_given && !options.bytes) {
    return "--max goes with --bytes";
  }
  if (command == "normalize") {
    if (options.in_place == !options.output.empty()) {
      return "normalize takes either -o OUT or --in-place";
    }
    if (options.in_place && options.files[0] == "-") {
      return "normalize --in-place needs a FILE, not standard input";
    }
    if (options.lossy && !options.in_place)
      return "--lossy goes with --in-place";
  }
  if (command == "extract" || command == "inject") {
    std::string problem = CheckSelection(options);
    if (!problem.empty()) return problem;
  }
  if (command == "inject") {
    if (options.from.empty()) return "inject needs --from BIN";
    if (options.output.empty()) return "inject needs -o OUT";
    if (options.from == "-" && options.files[0] == "-") {
      return "inject cannot read both FILE and BIN from standard input";
    }
  }
  return "";
}

}  // namespace

std::string ParseOptions(int argc, const char *const *argv, Options *options) {
  std::string problem;
  std::vector<std::string> words;
  std::vector<const char *> names;  // the options given, for the command
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    if (arg == "--version") {
      options->version = true;
      continue;
    }
    std::string value;
    size_t equals = arg.find('=');
    bool inline_value =
        arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (inline_value) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
    }
    const Option *option = FindOption(arg);
    if (option == nullptr) {
      if (problem.empty()) problem = "unknown option " + arg;
      continue;
    }
    if (option->kind != Kind::kFlag && !inline_value) {
      if (i + 1 == argc) {
        if (problem.empty()) problem = arg + " needs a value";
        continue;
      }
      value = argv[++i];
    } else if (option->kind == Kind::kFlag && inline_value) {
      if (problem.empty()) problem = arg + " takes no value";
      continue;
    }
    std::string set = SetOption(*option, value, options);
    if (problem.empty()) problem = set;
    names.push_back(option->name);
  }
  if (!words.empty()) options->command = words[0];
  if (words.size() > 1) options->files.assign(words.begin() + 1, words.end());
  if (!problem.empty() || options->help || options->version) return problem;
  if (words.empty()) return "no command given";
  const Command *command = FindCommand(options->command);
  if (command == nullptr) return "unknown command " + options->command;
  bool max_given = false;
  for (const char *name : names) {
    const Option *option = FindOption(name);
    if ((command->takes & option->bit) == 0) {
      return options->command + " does not take " + name;
    }
    max_given = max_given || option->number == &Options::max;
  }
  size_t files = options->files.size();
  if (files < command->min_files || files > command->max_files) {
    return command->files_problem;
  }
  return CheckCombination(*options, max_given);
}

}  // namespace inspect
