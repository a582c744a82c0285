// check on hand-edited files against what the tool then writes of them:
// every finding, or its absence, is a difference in the tool's output.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "inspect/model/codes.h"
#include "inspect/model/findings.h"
#include "inspect/rules/check_file.h"
#include "tests/inspect/hand_edited.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

// A factory file that combines with nothing: the output is the QA file as
// the tool reads and writes it.
constexpr char kNoFactoryModes[] =
    "<Calib_Data><Disp_Modes NumModes=\"0\"/></Calib_Data>\n";

// What xmllint reads as the output's first Mode's Name, or kRefused.
std::string LintedName(const std::string &output, const std::string &dir) {
  ProcessResult lint = RunProcess(
      {"/usr/bin/env", "xmllint", "--xpath", "string(//Mode/@Name)", output},
      dir);
  if (lint.status != 0) return kRefused;
  // xmllint ends what it prints with a line feed.
  return lint.out.substr(0, lint.out.find_last_not_of('\n') + 1);
}

TEST(CheckTest, EveryFindingIsWhereTheOutputDiffersFromTheFile) {
  TempDir dir;
  const std::string factory = dir.File("factory.xml");
  WriteFile(factory, kNoFactoryModes);
  for (const HandEdited &edit : HandEditedFiles()) {
    SCOPED_TRACE(edit.name);
    const std::string qa = dir.File(std::string(edit.name) + ".xml");
    const std::string output = dir.File(std::string(edit.name) + ".out.xml");
    WriteFile(qa, edit.file);
    std::vector<inspect::Finding> found = inspect::CheckFile(qa);
    std::vector<std::string> lines;
    std::string messages;
    for (const inspect::Finding &finding : found) {
      lines.push_back(std::to_string(finding.line) + ":" + finding.code);
      messages += finding.message + "\n";
    }
    EXPECT_EQ(lines, edit.found) << messages;
    if (!found.empty()) {
      EXPECT_NE(found[0].message.find(edit.message), std::string::npos)
          << found[0].message;
    }
    bool refused = !found.empty() && found[0].is_error;
    EXPECT_EQ(RunInProcess({qa, factory}, output).status, refused ? -22 : 0);
    std::string written = ReadFile(output);
    EXPECT_EQ(written.empty(), refused);
    for (const std::string &text : edit.has) {
      EXPECT_NE(written.find(text), std::string::npos) << text << "\n"
                                                       << written;
    }
    for (const std::string &text : edit.lacks) {
      EXPECT_EQ(written.find(text), std::string::npos) << text << "\n"
                                                       << written;
    }
    if (refused) continue;
    std::string name = LintedName(output, dir.path());
    if (edit.lint_name != nullptr) {
      EXPECT_EQ(name, edit.lint_name);
    } else {
      EXPECT_NE(name, kRefused);
    }
  }
}

// Long payloads and values are passed over a block at a time: what they
// hold is found wherever it lies, in a block, on its edge or in the rest.
TEST(CheckTest, FindsWhatLongPayloadsAndValuesHoldAnywhere) {
  TempDir dir;
  const std::string qa = dir.File("qa.xml");
  const std::string digits(200, 'A');
  const std::string size = R"(FeatureType="1" Disable="false" DataSize="100")";
  for (size_t at : {0, 63, 64, 65, 127, 128, 150, 199}) {
    SCOPED_TRACE(at);
    std::string lower = digits, bad = digits, name(200, 'n');
    lower[at] = 'a';
    bad[at] = 'G';
    name[at] = '&';
    std::vector<std::pair<std::string, std::string>> cases = {
        {Doc(kSection, kMode, Feature(size, lower)),
         "4:payload-case payload has 1 digit in lower case"},
        {Doc(kSection, kMode, Feature(size, bad)),
         "4:payload-not-hex payload character " + std::to_string(at) +
             " is 'G'"},
        {Doc(kSection, std::string(kMode) + " Tag=\"" + name + "\"", kFeature),
         "3:xml-refused a bare \"&\" in the value of Tag"},
    };
    for (const auto &[file, expected] : cases) {
      WriteFile(qa, file);
      std::vector<inspect::Finding> found = inspect::CheckFile(qa);
      ASSERT_FALSE(found.empty());
      std::string got = std::to_string(found[0].line) + ":" + found[0].code +
                        " " + found[0].message;
      EXPECT_EQ(got.substr(0, expected.size()), expected) << got;
    }
  }
}

// Markup right after a declaration's "?>" is read from its first byte.
TEST(CheckTest, FindsWhatFollowsADeclarationAtOnce) {
  TempDir dir;
  const std::string qa = dir.File("qa.xml");
  WriteFile(qa, "<?xml version=\"1.0\"?><!-- a -- b -->\n" +
                    Doc(kSection, kMode, kFeature));
  std::vector<inspect::Finding> found = inspect::CheckFile(qa);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 1);
  EXPECT_EQ(found[0].code, std::string("xml-refused"));
  EXPECT_NE(found[0].message.find("\"--\" inside a comment"), std::string::npos)
      << found[0].message;
}

// A byte order mark, which XML readers and the tool pass over, is no text
// before the root, with or without a declaration after it.
TEST(CheckTest, PassesOverAByteOrderMark) {
  TempDir dir;
  const std::string qa = dir.File("qa.xml");
  for (const char *start : {"", "<?xml version=\"1.0\"?>\n"}) {
    WriteFile(qa, std::string("\xEF\xBB\xBF") + start +
                      Doc(kSection, kMode, kFeature));
    std::vector<inspect::Finding> found = inspect::CheckFile(qa);
    EXPECT_TRUE(found.empty()) << found[0].message;
  }
}

// The README's table and the manual page's list are the codes, in order.
TEST(CheckTest, TheReadmeTableIsTheListOfCodes) {
  std::ifstream readme(RIMBOLT_SOURCE_DIR "/README.md");
  const std::regex row(
      R"(^\| `([a-z-]+)` \| (error|warning) \| (.*) \| ([a-z]+) \|$)");
  std::vector<std::string> table;
  for (std::string line; std::getline(readme, line);) {
    std::smatch match;
    if (std::regex_match(line, match, row)) {
      table.push_back(match[1].str() + " " + match[2].str() + " " +
                      match[3].str() + " " + match[4].str());
    }
  }
  std::vector<std::string> codes, names;
  for (size_t i = 0; i < inspect::kNumCodes; ++i) {
    const inspect::Code &code = inspect::kCodes[i];
    codes.push_back(std::string(code.name) + " " +
                    (code.is_error ? "error" : "warning") + " " + code.what +
                    " " + inspect::RewriteName(code.rewrite));
    names.push_back(code.name);
  }
  EXPECT_EQ(table, codes);

  // Each code stands as ".TP", ".B name" in the page's CODES section.
  std::ifstream page(RIMBOLT_SOURCE_DIR "/docs/rimbolt-inspect.1");
  std::vector<std::string> listed;
  bool in_codes = false;
  std::string previous;
  for (std::string line; std::getline(page, line); previous = line) {
    if (line.rfind(".SH ", 0) == 0) in_codes = line == ".SH CODES";
    if (!in_codes || previous != ".TP" || line.rfind(".B ", 0) != 0) continue;
    listed.push_back(
        std::regex_replace(line.substr(3), std::regex(R"(\\-)"), "-"));
  }
  EXPECT_EQ(listed, names);
}

}  // namespace
}  // namespace rimbolt_test
