// A command line read against the options and commands a program takes:
// the machinery alone, knowing nothing of what the commands do.
#ifndef INSPECT_CLI_COMMAND_LINE_H_
#define INSPECT_CLI_COMMAND_LINE_H_

#include <stddef.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace inspect {

// What an option takes: nothing, a number from 0 to INT_MAX, an ID (any
// int, negative ones too), a file, or a list of items split at commas.
enum class OptionKind { kFlag, kNumber, kId, kText, kList };

struct OptionSyntax {
  const char *name;  // "--display", "-o"
  OptionKind kind;
  // Checks each item of a list as it is read: "" or the problem. Null for
  // any item.
  std::string (*check)(const char *name, const std::string &item) = nullptr;
};

// The words and options of a command line, as read.
class Args {
 public:
  // The words that are no options: the command, then its files.
  const std::vector<std::string> &words() const { return words_; }
  // Each option given, in order, with its value ("" for a flag).
  const std::vector<std::pair<std::string, std::string>> &given() const {
    return given_;
  }
  // Whether the option |name| was given.
  bool Has(const char *name) const;
  // The number or text given for |name|; none, or "", when not given.
  std::optional<int> Number(const char *name) const;
  std::string Text(const char *name) const;
  // Every item of every list given for |name|, in order.
  std::vector<std::string> List(const char *name) const;

 private:
  friend std::string ParseArgs(int argc, const char *const *argv,
                               const std::vector<OptionSyntax> &options,
                               Args *args);

  std::vector<std::string> words_;
  std::vector<std::pair<std::string, std::string>> given_;
};

// Reads |argv| against |options|, which may stand anywhere: "--" ends
// them, "-" is a word, and "--name=value" gives a value in the same word;
// the word after an option that takes a value is its value, even one that
// starts with '-' ("--display -1"). An option that takes one value may be
// given once; a list or a flag as often as wanted.
// Returns "" or the first problem ("unknown option --foo", "--max needs a
// value", "--json takes no value", "--lut takes a number from 0 to
// 2147483647, not '-1'", "--mode takes a number from -2147483648 to
// 2147483647, not 'x'", "-o takes a file", "--mode is given twice", or a
// list item's check), |args| then holding all that could be read.
std::string ParseArgs(int argc, const char *const *argv,
                      const std::vector<OptionSyntax> &options, Args *args);

// What a command takes: its options, by name, and from |min_files| to
// |max_files| files after its name (|files_problem| where it is given
// others), and what its options ask of one another (|check|: "" or the
// problem; null for nothing).
struct CommandSyntax {
  const char *name;
  std::vector<const char *> options;
  size_t min_files;
  size_t max_files;
  const char *files_problem;
  std::string (*check)(const Args &args);
};

// Why |args|, whose first word is |command|'s name, is not a command line
// it takes: the first option it does not take ("show does not take
// --hex"), then the files, then its check; "" when it is.
std::string CheckCommand(const CommandSyntax &command, const Args &args);

}  // namespace inspect

#endif  // INSPECT_CLI_COMMAND_LINE_H_
