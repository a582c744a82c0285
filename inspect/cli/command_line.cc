#include "inspect/cli/command_line.h"

#include <limits.h>
#include <stdlib.h>

#include <algorithm>

namespace inspect {

namespace {

// The comma-separated items of |list|.
std::vector<std::string> Items(const std::string &list) {
  std::vector<std::string> items;
  for (size_t start = 0; start <= list.size();) {
    size_t comma = std::min(list.find(',', start), list.size());
    items.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

std::string CheckValue(const OptionSyntax &option, const std::string &value) {
  std::string name = option.name;
  if (option.kind == OptionKind::kNumber || option.kind == OptionKind::kId) {
    long long least = option.kind == OptionKind::kId ? INT_MIN : 0;
    // A plain decimal number, as a person writes one: digits, after a '-'
    // where |least| is negative.
    size_t sign = least < 0 && !value.empty() && value[0] == '-' ? 1 : 0;
    size_t digits = value.size() - sign;
    if (digits > 0 && digits <= 10 &&
        value.find_first_not_of("0123456789", sign) == std::string::npos) {
      long long number = strtoll(value.c_str(), nullptr, 10);
      if (number >= least && number <= INT_MAX) return "";
    }
    return name + " takes a number from " + std::to_string(least) + " to " +
           std::to_string(INT_MAX) + ", not '" + value + "'";
  }
  if (option.kind == OptionKind::kText && value.empty()) {
    return name + " takes a file";
  }
  if (option.kind != OptionKind::kList || option.check == nullptr) return "";
  for (const std::string &item : Items(value)) {
    std::string problem = option.check(option.name, item);
    if (!problem.empty()) return problem;
  }
  return "";
}

}  // namespace

bool Args::Has(const char *name) const {
  return std::any_of(given_.begin(), given_.end(), [name](const auto &option) {
    return option.first == name;
  });
}

std::optional<int> Args::Number(const char *name) const {
  if (!Has(name)) return std::nullopt;
  return atoi(Text(name).c_str());
}

std::string Args::Text(const char *name) const {
  std::string text;
  for (const auto &[given, value] : given_) {
    if (given == name) text = value;
  }
  return text;
}

std::vector<std::string> Args::List(const char *name) const {
  std::vector<std::string> items;
  for (const auto &[given, value] : given_) {
    if (given != name) continue;
    for (const std::string &item : Items(value)) items.push_back(item);
  }
  return items;
}

std::string ParseArgs(int argc, const char *const *argv,
                      const std::vector<OptionSyntax> &options, Args *args) {
  std::string problem;
  auto note = [&problem](const std::string &found) {
    if (problem.empty()) problem = found;
  };
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      args->words_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    size_t equals = arg.find('=');
    bool inline_value =
        arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
    std::string value = inline_value ? arg.substr(equals + 1) : "";
    if (inline_value) arg.resize(equals);
    auto option = std::find_if(
        options.begin(), options.end(),
        [&arg](const OptionSyntax &option) { return arg == option.name; });
    if (option == options.end()) {
      note("unknown option " + arg);
      continue;
    }
    bool flag = option->kind == OptionKind::kFlag;
    if (flag && inline_value) {
      note(arg + " takes no value");
      continue;
    }
    if (!flag && !inline_value) {
      if (i + 1 == argc) {
        note(arg + " needs a value");
        continue;
      }
      value = argv[++i];
    }
    // Of two values, which one counts is not clear.
    if (!flag && option->kind != OptionKind::kList && args->Has(option->name)) {
      note(arg + " is given twice");
    }
    note(CheckValue(*option, value));
    args->given_.push_back({option->name, value});
  }
  return problem;
}

std::string CheckCommand(const CommandSyntax &command, const Args &args) {
  for (const auto &[given, value] : args.given()) {
    if (std::find(command.options.begin(), command.options.end(), given) ==
        command.options.end()) {
      return std::string(command.name) + " does not take " + given;
    }
  }
  size_t files = args.words().size() - 1;
  if (files < command.min_files || files > command.max_files) {
    return command.files_problem;
  }
  return command.check != nullptr ? command.check(args) : "";
}

}  // namespace inspect
