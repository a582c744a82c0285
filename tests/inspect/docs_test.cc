// The usage text, the README's section on rimbolt-inspect and the manual
// page say the same things: the same synopsis, every command and option;
// and every command the README shows prints what it shows.
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

const std::string kReadme = RIMBOLT_SOURCE_DIR "/README.md";
const std::string kManPage = RIMBOLT_SOURCE_DIR "/docs/rimbolt-inspect.1";
const std::string kToolManPage = RIMBOLT_SOURCE_DIR "/docs/rimbolt.1";

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The synopsis lines of the usage text, without "usage: " and the indent.
std::vector<std::string> Synopsis(const std::string &usage) {
  std::vector<std::string> synopsis;
  const std::regex line(R"(^(usage: |       )(rimbolt-inspect .*)$)");
  for (const std::string &text : Lines(usage)) {
    std::smatch match;
    if (std::regex_match(text, match, line)) synopsis.push_back(match[2]);
  }
  return synopsis;
}

// The commands (the synopsis' second words) and every option the usage
// text names.
std::set<std::string> CommandsAndOptions(const std::string &usage) {
  std::set<std::string> names;
  for (const std::string &line : Synopsis(usage)) {
    std::string second = line.substr(line.find(' ') + 1);
    second = second.substr(0, second.find(' '));
    if (second[0] != '-') names.insert(second);
  }
  const std::regex option(R"((^|[ \[(,])(--[a-z][a-z-]*|-o)\b)");
  for (std::sregex_iterator it(usage.begin(), usage.end(), option), end;
       it != end; ++it) {
    names.insert((*it)[2]);
  }
  return names;
}

// Whether |name| stands in |text| as a word of its own, not inside a longer
// option or word ("-o" is not in "--error-on").
bool HasWord(const std::string &text, const std::string &name) {
  auto is_word = [](char c) {
    return isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
  };
  for (size_t at = text.find(name); at != std::string::npos;
       at = text.find(name, at + 1)) {
    size_t after = at + name.size();
    if ((at == 0 || !is_word(text[at - 1])) &&
        (after == text.size() || !is_word(text[after]))) {
      return true;
    }
  }
  return false;
}

// The README's section on rimbolt-inspect, up to the next section.
std::string ReadmeSection() {
  std::string readme = ReadFile(kReadme);
  size_t start = readme.find("\n## Inspecting files: `rimbolt-inspect`");
  if (start == std::string::npos) return "";
  size_t end = readme.find("\n## ", start + 1);
  return readme.substr(start, end - start);
}

std::string Joined(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines) text += line + "\n";
  return text;
}

// |text| with every |from| in it made |to|.
std::string Replaced(std::string text, const std::string &from,
                     const std::string &to) {
  for (size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The shell that runs the README's commands: a device has it elsewhere.
std::string Shell() {
  return access("/bin/sh", X_OK) == 0 ? "/bin/sh" : "/system/bin/sh";
}

// Whether |printed|, from line |p| on, is what |shown| says from line |s|
// on, a line "..." of |shown| standing for any lines left out.
bool Shows(const std::vector<std::string> &shown, size_t s,
           const std::vector<std::string> &printed, size_t p) {
  if (s == shown.size()) return p == printed.size();
  if (shown[s] == "...") {
    for (size_t rest = p; rest <= printed.size(); ++rest) {
      if (Shows(shown, s + 1, printed, rest)) return true;
    }
    return false;
  }
  return p < printed.size() && printed[p] == shown[s] &&
         Shows(shown, s + 1, printed, p + 1);
}

class DocsTest : public RunFilesTest {
 protected:
  ProcessResult Run(const std::vector<std::string> &args) {
    return RunProcess(args, dir_.path());
  }
  // What |command|, a line of the README after "$ ", prints on standard
  // output and error, run in |root|. The tool itself runs in this process,
  // writing its output to |output| rather than the machine's /data.
  std::string RunExample(const std::string &root, const std::string &command,
                         const std::string &output) {
    const std::string tool = "build/rimbolt ";
    if (command.rfind(tool, 0) != 0) {
      ProcessResult run = Run(
          {Shell(), "-c", "cd '" + root + "' && { " + command + "\n} 2>&1"});
      return run.out + run.err;
    }
    std::vector<std::string> args;
    std::istringstream words(command.substr(tool.size()));
    for (std::string word; words >> word;) args.push_back(word);
    char here[PATH_MAX];
    EXPECT_NE(getcwd(here, sizeof(here)), nullptr);
    EXPECT_EQ(chdir(root.c_str()), 0);
    RunResult run = RunInProcess(args, output);
    EXPECT_EQ(chdir(here), 0);
    return Joined(run.logged) + run.out;
  }

  std::string Usage() {
    std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
    command.push_back("--help");
    return Run(command).out;
  }
};

TEST_F(DocsTest, ReadmeAndManualPageSayWhatTheUsageTextSays) {
  const std::string usage = Usage();
  const std::vector<std::string> synopsis = Synopsis(usage);
  ASSERT_EQ(synopsis.size(), 7u) << usage;
  const std::set<std::string> names = CommandsAndOptions(usage);
  for (const char *name : {"normalize", "--in-place", "-o", "--max"}) {
    ASSERT_EQ(names.count(name), 1u) << name;
  }

  const std::string readme = ReadmeSection();
  std::vector<std::string> readme_synopsis;
  for (const std::string &line : Lines(readme)) {
    if (line.rfind("    rimbolt-inspect ", 0) == 0) {
      readme_synopsis.push_back(line.substr(4));
    }
  }
  EXPECT_EQ(readme_synopsis, synopsis);

  // The page as man shows it, at a width that breaks no synopsis line.
  ProcessResult page = Run({"/usr/bin/env", "LC_ALL=C.UTF-8", "MANWIDTH=200",
                            "man", "--warnings", "-l", kManPage});
  EXPECT_EQ(page.status, 0);
  EXPECT_EQ(page.err, "");
  std::vector<std::string> page_synopsis;
  bool in_synopsis = false;
  for (const std::string &line : Lines(page.out)) {
    if (!line.empty() && line[0] != ' ') {
      in_synopsis = line == "SYNOPSIS";
      continue;
    }
    size_t text = line.find_first_not_of(' ');
    if (in_synopsis && text != std::string::npos) {
      page_synopsis.push_back(line.substr(text));
    }
  }
  EXPECT_EQ(page_synopsis, synopsis);

  for (const std::string &name : names) {
    // Described in the README's prose, not only in its synopsis.
    const std::string described = name[0] == '-' ? "`" + name : "**`" + name;
    EXPECT_NE(readme.find(described), std::string::npos)
        << name << " is not described in the README";
    EXPECT_TRUE(HasWord(page.out, name)) << name << " is not in the page";
  }
  for (const std::string &text : {readme, page.out}) {
    EXPECT_NE(text.find("is standard input"), std::string::npos);
  }
}

TEST_F(DocsTest, ReadmeAndManualPageNameTheVersionThatIsPrinted) {
  std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
  command.push_back("--version");
  ProcessResult version = Run(command);
  EXPECT_EQ(version.status, 0);
  std::vector<std::string> lines = Lines(version.out);
  ASSERT_EQ(lines.size(), 2u) << version.out;
  EXPECT_TRUE(std::regex_match(lines[0],
                               std::regex(R"(rimbolt-inspect \d+\.\d+\.\d+)")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(
      lines[1], std::regex(R"(built with tinyxml2 \d+\.\d+\.\d+)")))
      << lines[1];
  const std::string number = lines[0].substr(lines[0].find(' ') + 1);
  EXPECT_NE(ReadmeSection().find("`" + lines[0] + "`"), std::string::npos);
  for (const std::string &page : {kManPage, kToolManPage}) {
    EXPECT_NE(ReadFile(page).find("\"rimbolt " + number + "\""),
              std::string::npos)
        << page;
  }
}

// The README's examples run from the repository's root after
// scripts/run_examples.sh: here a folder with the examples, build/ with
// the programs, and the tool's output of the examples at a path of its own
// in place of the machine's /data.
TEST_F(DocsTest, EveryCommandTheReadmeShowsPrintsWhatItShows) {
  const std::string root = dir_.File("root");
  for (const char *folder :
       {"", "/examples", "/build", "/data", "/data/display-tests"}) {
    ASSERT_EQ(mkdir((root + folder).c_str(), 0755), 0) << folder;
  }
  for (const char *name : {"qa_modes.xml", "factory_modes.xml"}) {
    WriteFile(root + "/examples/" + name,
              ReadFile(std::string(RIMBOLT_SOURCE_DIR "/examples/") + name));
  }
  char binary[PATH_MAX];
  ASSERT_NE(realpath(RIMBOLT_INSPECT_BINARY, binary), nullptr);
  std::string program = "#!" + Shell() + "\nexec";
  for (const std::string &word : EmulatedCommand(binary)) {
    program += " '" + word + "'";
  }
  const std::string inspect = root + "/build/rimbolt-inspect";
  WriteFile(inspect, program + " \"$@\"\n");
  ASSERT_EQ(chmod(inspect.c_str(), 0755), 0);
  const std::string output = root + tavo::kOutputPath;
  ASSERT_EQ(RunInProcess({root + "/examples/qa_modes.xml",
                          root + "/examples/factory_modes.xml"},
                         output)
                .status,
            0);

  // Each block indented by four spaces: what it holds before its first
  // "$ " line is a file where the text before says "saved as `PATH`:";
  // each "$ " line is a command, the lines up to the next what it prints.
  const std::vector<std::string> lines =
      Lines(Replaced(ReadFile(kReadme), tavo::kOutputPath, output));
  const std::regex saved_as(R"(saved as `([^`]+)`:$)");
  std::string prose;
  int commands = 0;
  for (size_t i = 0; i < lines.size();) {
    if (lines[i].rfind("    ", 0) != 0) {
      if (!lines[i].empty()) prose = lines[i];
      ++i;
      continue;
    }
    std::vector<std::string> block;
    for (; i < lines.size() && (lines[i].empty() || lines[i][0] == ' '); ++i) {
      block.push_back(lines[i].substr(std::min<size_t>(4, lines[i].size())));
    }
    size_t at = 0;
    while (at < block.size() && block[at].rfind("$ ", 0) != 0) ++at;
    std::smatch saved;
    if (std::regex_search(prose, saved, saved_as)) {
      std::vector<std::string> file(block.begin(), block.begin() + at);
      while (!file.empty() && file.back().empty()) file.pop_back();
      WriteFile(root + "/" + saved[1].str(), Joined(file));
    }
    while (at < block.size()) {
      const std::string command = block[at].substr(2);
      std::vector<std::string> shown;
      for (++at; at < block.size() && block[at].rfind("$ ", 0) != 0; ++at) {
        shown.push_back(block[at]);
      }
      while (!shown.empty() && shown.back().empty()) shown.pop_back();
      const std::string printed = RunExample(root, command, output);
      EXPECT_TRUE(Shows(shown, 0, Lines(printed), 0))
          << "$ " << command << "\nprints\n"
          << printed << "where the README shows\n"
          << Joined(shown);
      ++commands;
    }
  }
  // Every example was found: none is left out unseen.
  EXPECT_EQ(commands, 17);
}

}  // namespace
}  // namespace rimbolt_test
