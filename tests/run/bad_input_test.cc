// Calibration files and paths that are broken in every way we have seen or
// can think of: each gives its exact message and status, never a crash, and
// leaves the inputs as they were.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/run.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

constexpr char kEnumerateFailed[] = "Failed to enumerate modes from the file\n";

struct BadQaCase {
  const char *name;
  std::string content;
  int status;
  const char *out;  // "" when the driver prints nothing
  std::string log;  // the last log line, without its source line; may hold
                    // "%s" for the QA file's path
};

std::string ModesFile(const std::string &modes_attributes,
                      const std::string &mode) {
  return "<Calib_Data><Disp_Modes " + modes_attributes + ">" + mode +
         "</Disp_Modes></Calib_Data>";
}

std::string OneMode(const std::string &mode_attributes,
                    const std::string &features = "") {
  return ModesFile("NumModes=\"1\"",
                   "<Mode " + mode_attributes + ">" + features + "</Mode>");
}

std::string Feature(const std::string &attributes, const std::string &text) {
  return "<Feature " + attributes + ">" + text + "</Feature>";
}

std::string Nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<a>";
  for (int i = 0; i < depth; ++i) text += "</a>";
  return "<Calib_Data>" + text + "</Calib_Data>";
}

std::vector<BadQaCase> BadQaCases() {
  const std::string kLoadFailed = "E/Rimbolt: LoadFile() Couldn't load file (%s).";
  const std::string kSizeOrType = "E/Rimbolt: ReadModes() Invalid size or type. ";
  return {
      {"empty file", "", -22, "", kLoadFailed},
      {"truncated XML", std::string(kQaFile).substr(0, 200), -22, "",
       kLoadFailed},
      {"declaration and comment only", "<?xml version=\"1.0\"?><!-- x -->",
       -22, "",
       "E/Rimbolt: LoadFile() Could not open the root node in display "
       "calibration file: \"Calib_Data\""},
      {"deeply nested elements", Nested(100000), -22, "", kLoadFailed},
      {"root without Disp_Modes", "<Calib_Data><Luts/></Calib_Data>", -22,
       kEnumerateFailed,
       "I/Rimbolt: LoadFile() File (%s) loaded."},
      {"negative NumModes", ModesFile("NumModes=\"-1\"", ""), -22,
       kEnumerateFailed, "E/Rimbolt: ReadModes() modes_list allocation failed"},
      {"huge NumModes", ModesFile("NumModes=\"99999999999\"", ""), -22,
       kEnumerateFailed, "E/Rimbolt: ReadModes() modes_list allocation failed"},
      {"NumOfFeatures 30", OneMode("ModeID=\"5\" NumOfFeatures=\"30\""), -22,
       kEnumerateFailed,
       "E/Rimbolt: ReadModes() Invalid num of features: 30 in mode:5"},
      {"negative NumOfFeatures", OneMode("ModeID=\"5\" NumOfFeatures=\"-1\""),
       -22, kEnumerateFailed,
       "E/Rimbolt: ReadModes() Invalid num of features: -1 in mode:5"},
      {"negative DataSize",
       OneMode("", Feature("FeatureType=\"1\" DataSize=\"-1\"", "00")), -22,
       kEnumerateFailed, kSizeOrType + "size:-1, type:1"},
      {"DataSize past the limit",
       OneMode("", Feature("FeatureType=\"1\" DataSize=\"122024\"", "00")),
       -22, kEnumerateFailed, kSizeOrType + "size:122024, type:1"},
      {"FeatureType 30",
       OneMode("", Feature("FeatureType=\"30\" DataSize=\"1\"", "00")), -22,
       kEnumerateFailed, kSizeOrType + "size:1, type:30"},
      {"FeatureType not a number",
       OneMode("", Feature("FeatureType=\"-x\" DataSize=\"-7\"", "")), -22,
       kEnumerateFailed, kSizeOrType + "size:-7, type:0"},
  };
}

using BadInputTest = RunFilesTest;

std::string Fill(std::string text, const std::string &path) {
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

// Each broken file is tried as the QA file and as the factory file.
TEST_F(BadInputTest, BrokenFilesFailWithTheirMessage) {
  for (bool broken_qa : {true, false}) {
    const std::string &broken = broken_qa ? qa_ : factory_;
    const std::string &good = broken_qa ? factory_ : qa_;
    const char *good_content = broken_qa ? kFactoryFile : kQaFile;
    WriteFile(good, good_content);
    for (const BadQaCase &bad : BadQaCases()) {
      SCOPED_TRACE(std::string(bad.name) + (broken_qa ? " (QA)" : " (factory)"));
      WriteFile(broken, bad.content);
      RunResult result = Run();
      EXPECT_EQ(result.status, bad.status);
      EXPECT_EQ(result.out, bad.out);
      ASSERT_FALSE(result.log.empty());
      EXPECT_EQ(result.log.back(), Fill(bad.log, broken));
      EXPECT_FALSE(FileExists(output_));
      EXPECT_EQ(ReadFile(broken), bad.content);
      EXPECT_EQ(ReadFile(good), good_content);
    }
  }
}

TEST_F(BadInputTest, PathsThatAreNoFilesFailToLoad) {
  WriteFile(qa_, kQaFile);
  WriteFile(factory_, kFactoryFile);
  std::string long_path = dir_.File(std::string(300, 'q'));
  for (const std::string &path :
       {dir_.path(), qa_ + "/inside", dir_.File("missing.xml"), long_path}) {
    RunResult result = Run({path, factory_}, output_);
    EXPECT_EQ(result.status, -22);
    EXPECT_EQ(result.out, "");
    // A path longer than 255 characters is refused, not cut there.
    std::string named = path.size() <= 255
                            ? path + ")."
                            : path.substr(0, 255) +
                                  "...): its path is longer than the 255 "
                                  "characters the tool keeps.";
    EXPECT_EQ(result.log,
              std::vector<std::string>{
                  "E/Rimbolt: LoadFile() Couldn't load file (" + named});
    EXPECT_FALSE(FileExists(output_));
  }
  EXPECT_EQ(ReadFile(qa_), kQaFile);
}

TEST_F(BadInputTest, UnreadableFileFailsToLoad) {
  WriteFile(qa_, kQaFile);
  WriteFile(factory_, kFactoryFile);
  ASSERT_EQ(chmod(qa_.c_str(), 0), 0);
  std::string expected_log =
      "E/Rimbolt: LoadFile() Couldn't load file (" + qa_ + ").";
  if (geteuid() != 0) {
    RunResult result = Run();
    EXPECT_EQ(result.status, -22);
    EXPECT_EQ(result.log, std::vector<std::string>{expected_log});
    return;
  }
  // Root reads every file: run the binary as nobody instead, from a copy in
  // the test's folder, which nobody may read wherever the build lies (an
  // emulator must open the binary it runs).
  ASSERT_EQ(chmod(dir_.path().c_str(), 0711), 0);
  const std::string binary = dir_.File("rimbolt");
  std::filesystem::copy_file(RIMBOLT_BINARY, binary);
  ASSERT_EQ(chmod(binary.c_str(), 0755), 0);
  const std::vector<std::string> as_nobody = {
      "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  std::vector<std::string> command = as_nobody;
  command.insert(command.end(), {"/usr/bin/test", "-r", binary});
  ASSERT_EQ(RunProcess(command, dir_.path()).status, 0)
      << "nobody cannot read " << binary << ": $TMPDIR must let others pass";
  command = as_nobody;
  for (const std::string &word : EmulatedCommand(binary)) {
    command.push_back(word);
  }
  command.push_back(qa_);
  command.push_back(factory_);
  ProcessResult result = RunProcess(command, dir_.path());
  EXPECT_EQ(result.status, 234);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(WithoutLineNumber(result.err), expected_log + "\n");
}

TEST_F(BadInputTest, OutputThatCannotBeCreatedFailsAfterTheCombineLines) {
  WriteFile(qa_, kQaFile);
  WriteFile(factory_, kFactoryFile);
  std::string folder = dir_.File("out");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  for (const std::string &output :
       {dir_.File("no/such/folder/combined.xml"), folder}) {
    RunResult result = Run({qa_, factory_}, output);
    EXPECT_EQ(result.status, -22);
    EXPECT_EQ(result.out, std::string(kCombineLines) +
                              "Failed to open file: " + output + " for Edit.\n");
    EXPECT_NE(std::find(result.log.begin(), result.log.end(),
                        "E/Rimbolt: EditFile() Failed to save file: " + output),
              result.log.end());
  }
  // The folder stays a folder, and no temporary file is left beside it.
  struct stat info;
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir_.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"factory.xml", "out", "qa.xml"}));
}

// Payloads that do not match their DataSize, names past the field size and
// counts that are no numbers are read as far as they go and written back.
TEST_F(BadInputTest, OddButReadableValuesAreCarriedThrough) {
  std::string long_name(300, 'n');
  std::string qa = ModesFile(
      "NumModes=\"2\" DefaultMode=\"x\"",
      "<Mode ModeID=\"1\" Name=\"" + long_name + "\">" +
          Feature("FeatureType=\"1\" DataSize=\"4\"", "ABC") +
          Feature("FeatureType=\"2\" DataSize=\"2\"", "0102030405") +
          Feature("FeatureType=\"3\" DataSize=\"3\"", "G1 2\n3") +
          "</Mode><Mode ModeID=\"2\" Name=\"two\"/>");
  WriteFile(qa_, qa);
  WriteFile(factory_, "<Calib_Data><Disp_Modes NumModes=\"abc\"/></Calib_Data>");
  RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Combined modes write to: " + output_ + " successfully\n");
  std::string written = ReadFile(output_);
  EXPECT_NE(written.find("Name=\"" + long_name.substr(0, 255) + "\""),
            std::string::npos);
  EXPECT_EQ(written.find(long_name.substr(0, 256)), std::string::npos);
  EXPECT_NE(written.find("DefaultMode=\"0\""), std::string::npos);
  // "ABC" fills one byte and a half; the rest stays zero.
  EXPECT_NE(written.find("DataSize=\"4\">ABC00000</Feature>"),
            std::string::npos);
  EXPECT_NE(written.find("DataSize=\"2\">0102</Feature>"), std::string::npos);
  // 'G' counts as 0, a space as 0 and a line feed as 10.
  EXPECT_NE(written.find("DataSize=\"3\">0102A3</Feature>"),
            std::string::npos);
  EXPECT_NE(written.find("<Mode ModeID=\"2\""), std::string::npos);
  EXPECT_TRUE(MatchesSchema(output_, dir_.path()));
  EXPECT_EQ(ReadFile(qa_), qa);
}

}  // namespace
}  // namespace rimbolt_test
