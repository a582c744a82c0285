// rimbolt-inspect as a user runs it: its output, --json shapes and exit
// statuses.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

class InspectTest : public RunFilesTest {
 protected:
  ProcessResult Inspect(const std::vector<std::string> &args) {
    std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, dir_.path());
  }

  // Combines the two files in process, as the tool does, into output_.
  void Combine(const std::string &qa, const std::string &factory) {
    ASSERT_EQ(RunInProcess({qa, factory}, output_).status, 0);
  }
};

const std::string kExamples = RIMBOLT_SOURCE_DIR "/examples/";

TEST_F(InspectTest, FindsNothingInTheExamplesOrWhatTheToolWritesOfThem) {
  Combine(kExamples + "qa_modes.xml", kExamples + "factory_modes.xml");
  ProcessResult result = Inspect({"check", "--json", kExamples + "qa_modes.xml",
                                  kExamples + "factory_modes.xml", output_});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "{\"findings\":[]}\n");
}

TEST_F(InspectTest, DiffOfTheQaExampleAndItsOutputListsTheFeaturesTakenOver) {
  Combine(kExamples + "qa_modes.xml", kExamples + "factory_modes.xml");
  ProcessResult result = Inspect({"diff", kExamples + "qa_modes.xml", output_});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "Mode 0 on display 0 \"qa_srgb_sdr_main\": changed\n"
            "  NumOfFeatures    \"3\" -> \"5\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 4        added, 1024 bytes\n"
            "  feature 12       added, 8 bytes\n"
            "Mode 1 on display 0 \"qa_p3_hdr_main\": changed\n"
            "  NumOfFeatures    \"1\" -> \"2\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 6        added, 3072 bytes\n"
            "Mode 2 on display 1 \"qa_native_sdr_cover\": changed\n"
            "  NumOfFeatures    \"1\" -> \"3\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 5        added, 64 bytes\n"
            "  feature 9        added, 1024 bytes\n");
  EXPECT_EQ(Inspect({"diff", output_, output_}).out, "");
}

TEST_F(InspectTest, DiffJsonListsOnlyWhatDiffers) {
  WriteFile(qa_, kQaFile);
  WriteFile(factory_, kFactoryFile);
  Combine(qa_, factory_);
  // The combined file with mode 7's feature 2 changed in its last two bytes
  // and one byte more, its LUT gone, and a mode of its own.
  std::string edited = kCombinedFile;
  auto Replace = [&edited](const std::string &from, const std::string &to) {
    size_t at = edited.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    edited.replace(at, from.size(), to);
  };
  Replace(R"(DataSize="3">00AB10)", R"(DataSize="4">00AC1133)");
  Replace(R"(Lut Type="0")", R"(Lut Type="1")");
  Replace(R"(NumModes="2")", R"(NumModes="3")");
  Replace("    </Disp_Modes>",
          "        <Mode ModeID=\"9\" DisplayID=\"2\" Name=\"new\"/>\n"
          "    </Disp_Modes>");
  const std::string edited_path = dir_.File("edited.xml");
  WriteFile(edited_path, edited);

  ProcessResult result = Inspect({"diff", "--json", output_, edited_path});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            R"({"modes":[{"display_id":0,"mode_id":7,"name":"qa&one",)"
            R"("change":"changed","attributes":[],"features":[{"type":2,)"
            R"("change":"changed","old_size":3,"new_size":4,)"
            R"("bytes_differing":3,"first_difference":1}]},)"
            R"({"display_id":2,"mode_id":9,"name":"new","change":"added",)"
            R"("attributes":[],"features":[]}],"luts":[{"position":0,)"
            R"("change":"removed","old_packets":2,"new_packets":null,)"
            R"("bytes_differing":null,"first_difference":null}]})"
            "\n");
}

TEST_F(InspectTest, ShowJsonHoldsWhatTheReaderRead) {
  WriteFile(qa_, kQaFile);
  ProcessResult result = Inspect({"--json", "show", qa_});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(
      result.out,
      R"({"file":")" + qa_ +
          R"(","num_modes":2,"default_mode":7,)"
          R"("modes":[{"mode_id":7,"display_id":0,"name":"qa&one",)"
          R"("is_default":true,"is_app_mode":false,"dynamic_range":"sdr",)"
          R"("color_gamut":"srgb","picture_quality":"vivid",)"
          R"("render_intent":2,"is_merge":false,"features":[{"type":2,)"
          R"("size":3,"disable":true}]},{"mode_id":8,"display_id":1,)"
          R"("name":"qa_two","is_default":false,"is_app_mode":false,)"
          R"("dynamic_range":"HDR","color_gamut":"native",)"
          R"("picture_quality":"","render_intent":0,"is_merge":false,)"
          R"("features":[]}],"luts":{"num_luts":1,"slots":[{"position":0,)"
          R"("type":0,"packets":2}]}})"
          "\n");
}

TEST_F(InspectTest, TextOutputFitsEightyColumns) {
  Combine(kExamples + "qa_modes.xml", kExamples + "factory_modes.xml");
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{"show", kExamples + "qa_modes.xml"},
        {"diff", kExamples + "qa_modes.xml", output_}}) {
    std::istringstream out(Inspect(args).out);
    for (std::string line; std::getline(out, line);) {
      EXPECT_LE(line.size(), 80u) << line;
    }
  }
}

TEST_F(InspectTest, ExitStatusSaysWhatWasFound) {
  WriteFile(qa_, kQaFile);  // mode 8's "HDR" is dropped: a warning
  ProcessResult warned = Inspect({"check", qa_});
  EXPECT_EQ(warned.status, 1);
  EXPECT_NE(warned.out.find(qa_ + ":5: warning: "), std::string::npos)
      << warned.out;
  ProcessResult missing = Inspect({"check", qa_, dir_.File("none.xml")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.out.find("none.xml: error: the tool fails: "),
            std::string::npos)
      << missing.out;
  EXPECT_EQ(Inspect({"show", dir_.File("none.xml")}).status, 2);
  for (const std::vector<std::string> &args : {std::vector<std::string>{},
                                               {"show"},
                                               {"show", qa_, qa_},
                                               {"diff", qa_},
                                               {"check"},
                                               {"frob", qa_},
                                               {"check", "--yaml", qa_}}) {
    ProcessResult usage = Inspect(args);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err.find("usage: rimbolt-inspect show"), std::string::npos);
  }
}

}  // namespace
}  // namespace rimbolt_test
