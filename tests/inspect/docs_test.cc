// The usage text, the README's section on rimbolt-inspect and the manual
// page say the same things: the same synopsis, every command and option.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

class DocsTest : public RunFilesTest {
 protected:
  ProcessResult Run(const std::vector<std::string> &args) {
    return RunProcess(args, dir_.path());
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

}  // namespace
}  // namespace rimbolt_test
