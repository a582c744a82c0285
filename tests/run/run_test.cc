// The whole run in process, writing to a temporary output path.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/run.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

class RunTest : public RunFilesTest {
 protected:
  void SetUp() override {
    WriteFile(qa_, kQaFile);
    WriteFile(factory_, kFactoryFile);
  }
};

TEST_F(RunTest, WrongArgumentCountPrintsUsageAndSucceeds) {
  const std::string kUsage =
      "\n============== Usage Details =================\n"
      "expected usage: rimbolt <QA modes xml file> <factory modes xml file>\n"
      "\n";
  for (std::vector<std::string> args :
       {std::vector<std::string>{}, {qa_}, {qa_, factory_, output_}}) {
    RunResult result = Run(args, output_);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Invalid arguments num " +
                              std::to_string(args.size() + 1) +
                              " , it should be 3\n" + kUsage);
    EXPECT_TRUE(result.log.empty());
    EXPECT_FALSE(FileExists(output_));
  }
}

TEST_F(RunTest, CombinesModesAndWritesThemWithTheQaLuts) {
  RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, std::string(kCombineLines) +
                            "Combined modes write to: " + output_ +
                            " successfully\n");
  EXPECT_EQ(ReadFile(output_), kCombinedFile);
  EXPECT_TRUE(MatchesSchema(output_, dir_.path()));
  // Inputs are only read.
  EXPECT_EQ(ReadFile(qa_), kQaFile);
  EXPECT_EQ(ReadFile(factory_), kFactoryFile);
  ASSERT_FALSE(result.log.empty());
  EXPECT_EQ(result.log.back(),
            "I/Rimbolt: SaveAndCloseFile() File saved and closed "
            "successfully: " + output_);
}

TEST_F(RunTest, ReplacesAnEarlierOutputFile) {
  WriteFile(output_, "<Calib_Data><Disp_Modes NumModes=\"9\"/>"
                     "<Luts NumLuts=\"4\"/><Other/></Calib_Data>");
  ASSERT_EQ(Run().status, 0);
  std::string written = ReadFile(output_);
  // The earlier file's root is reused; everything under it is replaced.
  EXPECT_EQ(written.find("NumModes=\"9\""), std::string::npos);
  EXPECT_EQ(written.find("<Other"), std::string::npos);
  EXPECT_EQ(written.find("NumLuts=\"4\""), std::string::npos);
  EXPECT_NE(written.find("<Luts NumLuts=\"1\">"), std::string::npos);
}

TEST_F(RunTest, MissingOrBrokenQaFileFailsWithoutTouchingTheOutput) {
  WriteFile(dir_.File("broken.xml"), "<Calib_Data><Disp_Modes>");
  for (const char *name : {"missing.xml", "broken.xml"}) {
    RunResult result = Run({dir_.File(name), factory_}, output_);
    EXPECT_EQ(result.status, -22);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.log, std::vector<std::string>{
                              "E/Rimbolt: LoadFile() Couldn't load file (" +
                              dir_.File(name) + ")."});
    EXPECT_FALSE(FileExists(output_));
  }
}

TEST_F(RunTest, FilesWithoutModeSectionFail) {
  std::string no_modes = dir_.File("no_modes.xml");
  WriteFile(no_modes, "<Calib_Data><Luts NumLuts=\"1\"/></Calib_Data>");
  for (auto args : {std::vector<std::string>{no_modes, factory_},
                    std::vector<std::string>{qa_, no_modes}}) {
    RunResult result = Run(args, output_);
    EXPECT_EQ(result.status, -22);
    EXPECT_EQ(result.out, "Failed to enumerate modes from the file\n");
    EXPECT_FALSE(FileExists(output_));
  }
}

TEST_F(RunTest, MissingFactoryFileFailsWithTheDatabaseLogOnly) {
  RunResult result = Run({qa_, dir_.File("missing.xml")}, output_);
  EXPECT_EQ(result.status, -22);
  EXPECT_EQ(result.out, "");
  ASSERT_FALSE(result.log.empty());
  EXPECT_EQ(result.log.back(), "E/Rimbolt: LoadFile() Couldn't load file (" +
                                   dir_.File("missing.xml") + ").");
  EXPECT_FALSE(FileExists(output_));
}

TEST_F(RunTest, EmptyModeListsAreWrittenWithoutCombining) {
  WriteFile(qa_, "<Calib_Data><Disp_Modes NumModes=\"0\" DefaultMode=\"4\"/>"
                 "</Calib_Data>");
  WriteFile(factory_, "<Calib_Data><Disp_Modes/></Calib_Data>");
  RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Combined modes write to: " + output_ + " successfully\n");
  std::string written = ReadFile(output_);
  EXPECT_NE(written.find("<Disp_Modes NumModes=\"0\" DefaultMode=\"4\"/>\n"
                         "    <Luts NumLuts=\"0\"/>\n</Calib_Data>"),
            std::string::npos)
      << written;
  EXPECT_TRUE(MatchesSchema(output_, dir_.path()));
}

TEST_F(RunTest, BrokenLutSectionStillWritesTheModes) {
  std::string qa = kQaFile;
  qa.replace(qa.find("NumLuts=\"1\""), 11, "NumLuts=\"1000\"");
  WriteFile(qa_, qa);
  RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(std::find(result.log.begin(), result.log.end(),
                      "E/Rimbolt: GetLutsFromNode() Invalid num of luts: 1000"),
            result.log.end());
  std::string written = ReadFile(output_);
  EXPECT_NE(written.find("<Mode ModeID=\"7\""), std::string::npos);
  EXPECT_NE(written.find("<Luts NumLuts=\"0\"/>"), std::string::npos);
}

}  // namespace
}  // namespace rimbolt_test
