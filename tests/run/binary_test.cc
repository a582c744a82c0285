// The real binary, writing to its fixed output path inside a private mount
// namespace with a temporary /data.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

constexpr char kOutputPath[] = "/data/display-tests/combined_modes.xml";
constexpr int kFailureStatus = 234;  // -22 as a shell sees it

class BinaryTest : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root for a private /data";
    WriteFile(dir_.File("qa.xml"), kQaFile);
    WriteFile(dir_.File("factory.xml"), kFactoryFile);
  }

  // Runs rimbolt with |args| in the test folder; |setup| prepares /data as
  // tests/run/in_private_data.sh describes.
  ProcessResult Run(const std::string &setup,
                    const std::vector<std::string> &args) {
    std::vector<std::string> command = {
        RIMBOLT_SOURCE_DIR "/tests/run/in_private_data.sh", dir_.path(),
        setup};
    for (const std::string &word : BinaryCommand()) command.push_back(word);
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, dir_.path());
  }

  std::string Output() const {
    return ReadFile(dir_.File("data-after/combined_modes.xml"));
  }

  TempDir dir_;
};

TEST_F(BinaryTest, WritesTheCombinedFileToTheFixedPath) {
  ProcessResult result = Run("dir", {"qa.xml", "factory.xml"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, std::string(kCombineLines) +
                            "Combined modes write to: " + kOutputPath +
                            " successfully\n");
  EXPECT_EQ(Output(), kCombinedFile);
  EXPECT_TRUE(MatchesSchema(dir_.File("data-after/combined_modes.xml"),
                            dir_.path()));
  EXPECT_EQ(ReadFile(dir_.File("qa.xml")), kQaFile);
  EXPECT_EQ(ReadFile(dir_.File("factory.xml")), kFactoryFile);
  // Every log line is in logcat's tag format.
  std::vector<std::string> log;
  for (size_t start = 0, end; start < result.err.size(); start = end + 1) {
    end = result.err.find('\n', start);
    ASSERT_NE(end, std::string::npos) << "unterminated log line";
    log.push_back(result.err.substr(start, end - start));
  }
  ASSERT_FALSE(log.empty());
  for (const std::string &line : log) {
    EXPECT_TRUE(line.rfind("I/Rimbolt: ", 0) == 0 ||
                line.rfind("E/Rimbolt: ", 0) == 0)
        << line;
  }
  EXPECT_EQ(WithoutLineNumber(log.front()),
            "I/Rimbolt: LoadFile() File (qa.xml) loaded.");
  EXPECT_EQ(WithoutLineNumber(log.back()),
            std::string("I/Rimbolt: SaveAndCloseFile() File saved and closed "
                        "successfully: ") + kOutputPath);
}

// The text of the first element named |name| in |xml|.
std::string ElementText(const std::string &xml, const std::string &name) {
  size_t start = xml.find("<" + name + " ");
  if (start == std::string::npos) return "";
  start = xml.find('>', start) + 1;
  return xml.substr(start, xml.find("</" + name + ">", start) - start);
}

TEST_F(BinaryTest, CarriesTheExamplesQaLutIntoTheOutput) {
  for (const char *name : {"qa_modes.xml", "factory_modes.xml"}) {
    WriteFile(dir_.File(name),
              ReadFile(std::string(RIMBOLT_SOURCE_DIR "/examples/") + name));
  }
  std::string qa = ReadFile(dir_.File("qa_modes.xml"));
  ProcessResult result = Run("dir", {"qa_modes.xml", "factory_modes.xml"});
  EXPECT_EQ(result.status, 0) << result.err;
  std::string written = Output();
  std::string lut = ElementText(qa, "Lut");
  ASSERT_EQ(lut.size(), 256u * 32u);
  EXPECT_EQ(ElementText(written, "Lut"), lut);
  EXPECT_NE(written.find("<Lut Type=\"0\" NumPackets=\"256\">"),
            std::string::npos);
  EXPECT_TRUE(MatchesSchema(dir_.File("data-after/combined_modes.xml"),
                            dir_.path()));
  EXPECT_EQ(ReadFile(dir_.File("qa_modes.xml")), qa);
}

TEST_F(BinaryTest, OverwritesAnEarlierOutputFile) {
  std::string earlier = dir_.File("earlier.xml");
  WriteFile(earlier, std::string(kCombinedFile) + std::string(5000, ' '));
  ProcessResult result = Run(earlier, {"qa.xml", "factory.xml"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Output(), kCombinedFile);
}

TEST_F(BinaryTest, MissingOutputFolderFailsWith234) {
  ProcessResult result = Run("none", {"qa.xml", "factory.xml"});
  EXPECT_EQ(result.status, kFailureStatus);
  EXPECT_EQ(result.out, std::string(kCombineLines) + "Failed to open file: " +
                            kOutputPath + " for Edit.\n");
  EXPECT_FALSE(FileExists(dir_.File("data-after")));
}

TEST_F(BinaryTest, UnreadableQaFileFailsWith234AndNoOutput) {
  // Cut at 255 characters, the long path would name a valid QA file.
  const std::string kept(255, 'q');
  WriteFile(dir_.File(kept), kQaFile);
  const std::pair<std::string, std::string> cases[] = {
      {"missing.xml", "missing.xml)."},
      {kept + ".long", kept +
                           "...): its path is longer than the 255 characters "
                           "the tool keeps."}};
  for (const auto &[qa, named] : cases) {
    ProcessResult result = Run("dir", {qa, "factory.xml"});
    EXPECT_EQ(result.status, kFailureStatus);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(WithoutLineNumber(result.err),
              "E/Rimbolt: LoadFile() Couldn't load file (" + named + "\n");
    EXPECT_FALSE(FileExists(dir_.File("data-after/combined_modes.xml")));
    std::filesystem::remove_all(dir_.File("data-after"));
  }
}

// A QA file whose combined output needs more room than the full file
// system has.
std::string LargeQaFile() {
  std::string qa = kQaFile;
  std::string feature = "<Feature FeatureType=\"9\" DataSize=\"60000\">" +
                        std::string(120000, 'A') + "</Feature>";
  qa.insert(qa.find("</Mode>"), feature);
  return qa;
}

TEST_F(BinaryTest, FullDiskFailsAndKeepsThePreviousOutput) {
  WriteFile(dir_.File("qa.xml"), LargeQaFile());
  std::string earlier = dir_.File("earlier.xml");
  WriteFile(earlier, kCombinedFile);
  std::string broken = dir_.File("broken.xml");
  WriteFile(broken, "<Calib_Data><Disp_Modes>");
  for (const std::string &setup :
       {std::string("full"), "full:" + earlier, "full:" + broken}) {
    ProcessResult result = Run(setup, {"qa.xml", "factory.xml"});
    EXPECT_EQ(result.status, kFailureStatus) << setup;
    EXPECT_EQ(result.out, std::string(kCombineLines) +
                              "Failed to save combined modes file.");
    EXPECT_NE(result.err.find(std::string("Failed to save file: ") +
                              kOutputPath + "\n"),
              std::string::npos)
        << result.err;
    // The earlier file, even one that does not parse, or the fresh
    // skeleton, stays whole; no temporary file is left behind.
    std::string after = Output();
    if (setup == "full") {
      EXPECT_EQ(after.find("<Mode"), std::string::npos);
      EXPECT_NE(after.find("<Calib_Data/>"), std::string::npos);
    } else {
      EXPECT_EQ(after, ReadFile(setup.substr(setup.find(':') + 1)));
    }
    std::vector<std::string> names;
    for (const auto &entry :
         std::filesystem::directory_iterator(dir_.File("data-after"))) {
      names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"combined_modes.xml"});
    std::filesystem::remove_all(dir_.File("data-after"));
  }
}

TEST_F(BinaryTest, UsageTextExitsWithZero) {
  ProcessResult result = Run("dir", {"qa.xml"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Invalid arguments num 2 , it should be 3\n"
            "\n============== Usage Details =================\n"
            "expected usage: rimbolt <QA modes xml file> <factory modes xml "
            "file>\n\n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace rimbolt_test
