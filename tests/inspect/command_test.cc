// rimbolt-inspect as a user runs it: its output, --json shapes and exit
// statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/inspect/hand_edited.h"
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

TEST_F(InspectTest, FindsOnlyWhitePointInTheExamplesAndNothingInTheOutput) {
  Combine(kExamples + "qa_modes.xml", kExamples + "factory_modes.xml");
  ProcessResult examples = Inspect(
      {"check", kExamples + "qa_modes.xml", kExamples + "factory_modes.xml"});
  EXPECT_EQ(examples.status, 1);
  std::istringstream lines(examples.out);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_NE(line.find(": warning: WhitePoint=\"6500\" is not read: "),
              std::string::npos)
        << line;
  }
  EXPECT_EQ(count, 8);  // every mode of both files
  ProcessResult output = Inspect({"check", "--json", output_});
  EXPECT_EQ(output.status, 0);
  EXPECT_EQ(output.out, "{\"findings\":[]}\n");
}

TEST_F(InspectTest, DiffOfTheQaExampleAndItsOutputListsTheFeaturesTakenOver) {
  Combine(kExamples + "qa_modes.xml", kExamples + "factory_modes.xml");
  ProcessResult result = Inspect({"diff", kExamples + "qa_modes.xml", output_});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "Mode 0 on display 0 \"qa_srgb_sdr_main\": changed\n"
            "  NumOfFeatures    \"3\" -> \"5\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 4        added, 1024 bytes, Disable false\n"
            "  feature 12       added, 8 bytes, Disable false\n"
            "Mode 1 on display 0 \"qa_p3_hdr_main\": changed\n"
            "  NumOfFeatures    \"1\" -> \"2\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 6        added, 3072 bytes, Disable false\n"
            "Mode 2 on display 1 \"qa_native_sdr_cover\": changed\n"
            "  NumOfFeatures    \"1\" -> \"3\"\n"
            "  IsMerge          \"0\" -> \"1\"\n"
            "  feature 5        added, 64 bytes, Disable false\n"
            "  feature 9        added, 1024 bytes, Disable false\n");
  EXPECT_EQ(Inspect({"diff", output_, output_}).out, "");
}

TEST_F(InspectTest, DiffJsonListsOnlyWhatDiffers) {
  WriteFile(qa_, kQaFile);
  WriteFile(factory_, kFactoryFile);
  Combine(qa_, factory_);
  // The combined file with mode 7's feature 2 changed in its last two bytes
  // and one byte more, a disabled feature 5 added, its LUT gone, another
  // default mode and LUT count, and a mode of its own.
  std::string edited = kCombinedFile;
  auto Replace = [&edited](const std::string &from, const std::string &to) {
    size_t at = edited.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    edited.replace(at, from.size(), to);
  };
  Replace(
      R"(DataSize="3">00AB10</Feature>)",
      R"(DataSize="4">00AC1133</Feature>)"
      R"(<Feature FeatureType="5" Disable="true" DataSize="1">55</Feature>)");
  Replace(R"(DefaultMode="7")", R"(DefaultMode="9")");
  Replace(R"(NumLuts="1")", R"(NumLuts="2")");
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
            R"({"attributes":[{"name":"DefaultMode","old":"7","new":"9"},)"
            R"({"name":"NumLuts","old":"1","new":"2"}],)"
            R"("modes":[{"display_id":0,"mode_id":7,"name":"qa&one",)"
            R"("change":"changed","attributes":[],"features":[{"type":2,)"
            R"("change":"changed","old_size":3,"new_size":4,)"
            R"("bytes_differing":3,"first_difference":1},{"type":5,)"
            R"("change":"added","old_size":null,"new_size":1,)"
            R"("bytes_differing":null,"first_difference":null,)"
            R"("new_disable":true}]},)"
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
          R"("size":3,"disable":true,"crc32":"af05ac54"}]},{"mode_id":8,)"
          R"("display_id":1,)"
          R"("name":"qa_two","is_default":false,"is_app_mode":false,)"
          R"("dynamic_range":"HDR","color_gamut":"native",)"
          R"("picture_quality":"","render_intent":0,"is_merge":false,)"
          R"("features":[]}],"luts":{"num_luts":1,"slots":[{"position":0,)"
          R"("type":0,"packets":2,"crc32":"91267e8a"}]}})"
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

// Decodes each file as strict UTF-8 holding one JSON document on one line;
// prints what does not.
constexpr char kStrictJson[] = R"(
import json, sys
for path in sys.argv[1:]:
    try:
        text = open(path, 'rb').read().decode('utf-8')
        assert text.endswith('\n') and text.count('\n') == 1, 'not one line'
        json.loads(text)
    except Exception as e:
        print(path, e)
)";

TEST_F(InspectTest, EveryJsonOutputIsOneStrictUtf8Document) {
  WriteFile(qa_, kQaFile);
  const std::string odd_name = dir_.File("caf\xE9.xml");
  WriteFile(odd_name, kQaFile);
  std::vector<std::string> files = {qa_, odd_name, dir_.File("none.xml"),
                                    dir_.path(), qa_ + "/x.xml"};
  for (const HandEdited &edit : HandEditedFiles()) {
    files.push_back(dir_.File(std::string(edit.name) + ".xml"));
    WriteFile(files.back(), edit.file);
  }
  std::vector<std::vector<std::string>> runs = {
      {"--json"},
      {"--json", "frob"},
      {"show", "--json"},
      {"check", "--json", "--yaml", qa_},
      {"diff", "--json", qa_},
      {"--help", "--json"},
      {"--version", "--json"}};
  runs.push_back({"check", "--json"});
  runs.back().insert(runs.back().end(), files.begin(), files.end());
  for (const std::string &file : files) {
    runs.push_back({"show", "--json", file});
    runs.push_back({"diff", "--json", file, qa_});
  }
  std::vector<std::string> command = {"/usr/bin/env", "python3", "-c",
                                      kStrictJson};
  for (size_t i = 0; i < runs.size(); ++i) {
    command.push_back(dir_.File("out" + std::to_string(i) + ".json"));
    WriteFile(command.back(), Inspect(runs[i]).out);
  }
  ProcessResult decoded = RunProcess(command, dir_.path());
  EXPECT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out, "");
}

TEST_F(InspectTest, EveryCommandSaysWhyAFileCannotBeRead) {
  WriteFile(qa_, kQaFile);
  const std::pair<std::string, std::string> kUnreadable[] = {
      {dir_.File("none.xml"), "(No such file or directory)"},
      {dir_.path(), "(Is a directory)"},
      {qa_ + "/x.xml", "(Not a directory)"}};
  for (const auto &[path, reason] : kUnreadable) {
    const std::string error = path + ": error: the tool fails: ";
    ProcessResult check = Inspect({"check", path});
    ProcessResult show = Inspect({"show", path});
    ProcessResult diff = Inspect({"diff", "--json", qa_, path});
    for (const ProcessResult &result : {check, show, diff}) {
      EXPECT_EQ(result.status, 2);
      EXPECT_NE((result.out + result.err).find(reason), std::string::npos)
          << result.out << result.err;
    }
    EXPECT_EQ(check.out.find(error), 0u) << check.out;
    EXPECT_EQ(show.err.find(error), 0u) << show.err;
    EXPECT_EQ(diff.out.find(R"({"errors":[{"file":")" + path), 0u) << diff.out;
  }
  // Bad XML: the parser's line; with --json, its own name of the error on
  // that finding alone.
  WriteFile(qa_, "<Calib_Data>\n<Disp_Modes>\n</Calib_Data>\n");
  EXPECT_EQ(Inspect({"show", qa_}).err.find(qa_ + ":2: error: "), 0u);
  const std::string parser_error =
      R"x(, line 2)","parser_error":"XML_ERROR_MISMATCHED_ELEMENT"})x";
  ProcessResult checked = Inspect({"check", "--json", qa_, dir_.path()});
  size_t at = checked.out.find(parser_error + R"(,{"file":")" + dir_.path());
  EXPECT_NE(at, std::string::npos) << checked.out;
  EXPECT_EQ(checked.out.find("parser_error", at + parser_error.size()),
            std::string::npos)
      << checked.out;
  ProcessResult diff =
      Inspect({"diff", "--json", kExamples + "qa_modes.xml", qa_});
  EXPECT_NE(diff.out.find(parser_error + "]}\n"), std::string::npos)
      << diff.out;
}

TEST_F(InspectTest, SaysAFileMayNotBeRead) {
  WriteFile(qa_, kQaFile);
  std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
  if (geteuid() == 0) {
    // Root reads every file: a copy of the binary in this test's own folder
    // runs as nobody.
    const std::string copy = dir_.File("rimbolt-inspect");
    WriteFile(copy, ReadFile(RIMBOLT_INSPECT_BINARY));
    ASSERT_EQ(chmod(copy.c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(qa_.c_str(), 0600), 0);
    command = EmulatedCommand(copy);
    command.insert(command.begin(), {"/usr/bin/setpriv", "--reuid=65534",
                                     "--regid=65534", "--clear-groups"});
    std::vector<std::string> probe = command;
    probe.push_back("--help");
    if (RunProcess(probe, dir_.path()).status != 0) {
      GTEST_SKIP() << "nobody cannot run a program in " << dir_.path();
    }
  } else {
    ASSERT_EQ(chmod(qa_.c_str(), 0), 0);
  }
  command.insert(command.end(), {"check", qa_});
  ProcessResult result = RunProcess(command, dir_.path());
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.out.find("(Permission denied)"), std::string::npos)
      << result.out << result.err;
}

}  // namespace
}  // namespace rimbolt_test
