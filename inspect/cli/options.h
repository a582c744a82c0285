// rimbolt-inspect's command line: the command, its files and its options,
// read whole before anything runs.
#ifndef INSPECT_CLI_OPTIONS_H_
#define INSPECT_CLI_OPTIONS_H_

#include <string>
#include <vector>

namespace inspect {

// What an option's number is when the option is not given.
constexpr int kNotGiven = -1;

struct Options {
  std::string command;
  // As given; "-" is standard input.
  std::vector<std::string> files;
  bool json = false;
  bool help = false;
  bool version = false;
  // Only this display, mode ID and feature type (show, check, diff), or
  // the one payload (extract, inject); kNotGiven when not given.
  int display = kNotGiven;
  int mode = kNotGiven;
  int feature = kNotGiven;
  // The LUT slot (extract, inject); kNotGiven when not given.
  int lut = kNotGiven;
  // Codes of warnings that count as errors, and that are dropped (check).
  std::vector<std::string> error_on;
  std::vector<std::string> ignore;
  // diff lists the differing bytes, at most |max| of them.
  bool bytes = false;
  int max = 20;
  // extract writes hex digits rather than binary.
  bool hex = false;
  // normalize writes over FILE, and with |lossy| also where the rewrite
  // loses what FILE says.
  bool in_place = false;
  bool lossy = false;
  // -o OUT ("-" is standard output); "" when not given.
  std::string output;
  // inject's --from BIN ("-" is standard input); "" when not given.
  std::string from;
  // inject takes an empty BIN as a payload of 0 bytes.
  bool allow_empty = false;
};

// Reads |argc| and |argv| into |options|. Returns "" when the command line
// is one the command takes, else the problem in a few words ("unknown
// option --foo", "show takes one FILE"), |options| then filled as far as
// it could be (--json and --help included, wherever they stand).
std::string ParseOptions(int argc, const char *const *argv, Options *options);

}  // namespace inspect

#endif  // INSPECT_CLI_OPTIONS_H_
