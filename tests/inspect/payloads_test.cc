// extract and inject as a user runs them: payload bytes out, payload bytes
// in, and every other byte of the file kept.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "inspect/edit/edited_copy.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"
#include "tests/inspect/hand_edited.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

const std::string kExamples = RIMBOLT_SOURCE_DIR "/examples/";

// A ">" and "/>" inside values, Features of the type in a processing
// instruction, comments, CDATA and a <!...> declaration, and two of the
// type, the later of which the reader keeps.
constexpr char kTricky[] = R"(<?xml version="1.0"?>
<?note <Feature FeatureType="2" DataSize="1">AA</Feature> ?>
<!-- <Feature FeatureType="2" DataSize="1">EE</Feature> -->
<Calib_Data>
  <Disp_Modes NumModes="1" DefaultMode="7">
    <Mode ModeID="7" DisplayID="0" Name="a>b</Mode><Feature FeatureType='2'" NumOfFeatures="1">
      <!-- <Feature FeatureType="2" DataSize="1">DD</Feature> -->
      <Feature FeatureType="2" Disable="true" DataSize="1">CC</Feature>
      <![CDATA[<Feature FeatureType="2" DataSize="1">BB</Feature>]]>
      <!Feature FeatureType="2" DataSize="1">
      <Feature Name="x/>" FeatureType="2" Disable="true" DataSize="1"><![CDATA[99]]></Feature>
    </Mode>
  </Disp_Modes>
</Calib_Data>
)";

// Payloads as hand edits leave them, which the tool reads alike however
// they are written: a comment and an entity among the digits, digits over
// several lines in CDATA, a padded DataSize, surplus digits, a size-0
// feature with white space, lower-case LUT digits on a line of their own;
// and a blank mode 0 on display 0 after the real one, where NumModes is
// above the number of Mode elements.
std::string OddForms() {
  std::string cdata;
  for (int i = 0; i < 64; ++i) cdata += i == 32 ? "\n" : "a5";
  return R"(<Calib_Data>
  <Disp_Modes NumModes="2" DefaultMode="0">
    <Mode ModeID="0" DisplayID="0" NumOfFeatures="4">
      <Feature FeatureType="1" DataSize="02">&#65;B<!-- c -->cd</Feature>
      <Feature FeatureType="2" DataSize=" 64"><![CDATA[)" +
         cdata + R"(]]></Feature>
      <Feature FeatureType="3" DataSize="0">
      </Feature>
      <Feature FeatureType="4" Disable="true" DataSize="1">abcdef</Feature>
    </Mode>
  </Disp_Modes>
  <Luts NumLuts="1"><Lut Type="0" NumPackets="1">
000102030405060708090a0b0c0d0e0f
</Lut></Luts>
</Calib_Data>
)";
}

// A mode with features of types 0 to 28, all of 0 bytes.
std::string FullOfFeatures() {
  std::string features;
  for (int type = 0; type < 29; ++type) {
    features += "<Feature FeatureType=\"" + std::to_string(type) +
                "\" DataSize=\"0\"/>";
  }
  return "<Calib_Data><Disp_Modes NumModes=\"1\"><Mode NumOfFeatures=\"29\">" +
         features + "</Mode></Disp_Modes></Calib_Data>";
}

// No mode, and PCC LUTs in slots 0, 1 and 2.
std::string ThreeLuts() {
  const std::string lut =
      R"(<Lut Type="0" NumPackets="1">)" + std::string(32, '0') + "</Lut>";
  return "<Calib_Data><Disp_Modes NumModes=\"0\"/><Luts NumLuts=\"3\">" + lut +
         lut + lut + "</Luts></Calib_Data>";
}

class PayloadsTest : public RunFilesTest {
 protected:
  ProcessResult Inspect(const std::vector<std::string> &args) {
    std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, dir_.path());
  }

  // The tool's output of |qa| combined with |factory|.
  std::string Combined(const std::string &qa, const std::string &factory) {
    RunResult run = RunInProcess({qa, factory}, output_);
    EXPECT_EQ(run.status, 0);
    return ReadFile(output_);
  }
};

// The arguments that name each payload the tool reads from |path|.
std::vector<std::vector<std::string>> EveryPayload(const std::string &path) {
  std::vector<std::vector<std::string>> payloads;
  std::unique_ptr<inspect::CalibFile> file = inspect::ReadCalibFile(path);
  EXPECT_NE(file->modes, nullptr) << path;
  if (file->modes == nullptr) return payloads;
  for (uint32_t i = 0; i < file->modes->num_modes; ++i) {
    const tavo::DispMode &mode = file->modes->modes[i];
    for (const tavo::DispFeature *feature : mode.features) {
      if (feature == nullptr) continue;
      payloads.push_back({"--display", std::to_string(mode.disp_id), "--mode",
                          std::to_string(mode.mode_id), "--feature",
                          std::to_string(feature->type)});
    }
  }
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    if (inspect::LutAt(*file, position) != nullptr) {
      payloads.push_back({"--lut", std::to_string(position)});
    }
  }
  return payloads;
}

std::vector<std::string> With(std::vector<std::string> args,
                              const std::vector<std::string> &more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

std::vector<std::string> Folder(const std::string &path) {
  std::vector<std::string> names;
  DIR *dir = opendir(path.c_str());
  if (dir == nullptr) return names;
  while (struct dirent *entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

TEST_F(PayloadsTest, ExtractThenInjectOfEveryPayloadGivesTheFileBack) {
  const std::string examples[] = {kExamples + "qa_modes.xml",
                                  kExamples + "factory_modes.xml"};
  TempDir work;  // where only extract and inject write
  int count = 0;
  for (const std::string &example : examples) {
    const std::string original = ReadFile(example);
    for (const std::vector<std::string> &payload : EveryPayload(example)) {
      ++count;
      std::string label = example + " " + payload[payload.size() - 1];
      const std::string bin = work.File("payload.bin");
      const std::string out = work.File("out.xml");
      ASSERT_EQ(Inspect(With({"extract", example, "-o", bin}, payload)).status,
                0)
          << label;
      std::string bytes = ReadFile(bin);
      ProcessResult hex = Inspect(With({"extract", example, "--hex"}, payload));
      EXPECT_EQ(
          hex.out,
          Hex(std::vector<unsigned char>(bytes.begin(), bytes.end())) + "\n")
          << label;
      // The digits stand in the file as the writer puts them.
      EXPECT_NE(
          original.find(">" + hex.out.substr(0, hex.out.size() - 1) + "<"),
          std::string::npos)
          << label;
      ProcessResult inject =
          Inspect(With({"inject", example, "--from", bin, "-o", out}, payload));
      ASSERT_EQ(inject.status, 0) << label << ": " << inject.err;
      EXPECT_TRUE(ReadFile(out) == original) << label;  // not a byte apart
      EXPECT_EQ(Folder(work.path()).size(), 2u)
          << testing::PrintToString(Folder(work.path()));
    }
    // The tool makes the same output of the file written by inject.
    const std::string other =
        example == examples[0] ? examples[1] : examples[0];
    EXPECT_EQ(Combined(work.File("out.xml"), other), Combined(example, other));
  }
  EXPECT_EQ(count, 16);  // 6 features and a LUT, and 9 features
}

TEST_F(PayloadsTest, ExtractThenInjectGivesEveryTestFileBackByteForByte) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"qa", kQaFile},
      {"factory", kFactoryFile},
      {"tricky", kTricky},
      {"odd_forms", OddForms()},
      {"full", FullOfFeatures()},
      {"three", ThreeLuts()}};
  for (const HandEdited &edited : HandEditedFiles()) {
    files.push_back({edited.name, edited.file});
  }
  for (const char *example : {"qa_modes.xml", "factory_modes.xml"}) {
    files.push_back({example, ReadFile(kExamples + example)});
  }
  const std::string bin = dir_.File("payload.bin");
  const std::string out = dir_.File("out.xml");
  int payloads = 0;
  for (const auto &[name, bytes] : files) {
    const std::string path = dir_.File(name + ".in");
    WriteFile(path, bytes);
    // Files the tool cannot read hold no payload to take out.
    if (inspect::ReadCalibFile(path)->modes == nullptr) continue;
    const std::vector<std::vector<std::string>> every = EveryPayload(path);
    for (const std::vector<std::string> &payload : every) {
      // Two modes with one display and mode ID: no address tells their
      // payloads apart, and extract says so.
      if (std::count(every.begin(), every.end(), payload) > 1) continue;
      ++payloads;
      std::string label = name + " " + testing::PrintToString(payload);
      ProcessResult extract =
          Inspect(With({"extract", path, "-o", bin}, payload));
      ASSERT_EQ(extract.status, 0) << label << ": " << extract.err;
      ProcessResult inject = Inspect(
          With({"inject", path, "--from", bin, "--allow-empty", "-o", out},
               payload));
      EXPECT_EQ(inject.status, 0) << label << ": " << inject.err;
      EXPECT_TRUE(ReadFile(out) == bytes) << label;  // not a byte apart
    }
  }
  EXPECT_GE(payloads, 100);
}

TEST_F(PayloadsTest, InjectOfAnotherSizeChangesOnlyThatElement) {
  const std::string qa = kExamples + "qa_modes.xml";
  const std::string factory = kExamples + "factory_modes.xml";
  const std::string original = ReadFile(qa);
  const std::string bin = dir_.File("new.bin");
  const std::string out = dir_.File("out.xml");
  struct Case {
    std::vector<std::string> payload;
    std::string element_start;  // the element's start in the file
    std::string close;
    std::string bytes;
    std::string element;  // as it must read after
  };
  std::string packets;
  for (int i = 0; i < 48; ++i) packets += static_cast<char>(i * 5);
  const Case cases[] = {
      {{"--display", "0", "--mode", "0", "--feature", "3"},
       R"(<Feature FeatureType="3")",
       "</Feature>",
       std::string("\x01\x02\xAB\x00\xFF", 5),
       R"(<Feature FeatureType="3" Disable="false" DataSize="5">0102AB00FF</Feature>)"},
      {{"--lut", "0"},
       R"(<Lut Type="0")",
       "</Lut>",
       packets,
       R"(<Lut Type="0" NumPackets="3">)" +
           Hex(std::vector<unsigned char>(packets.begin(), packets.end())) +
           "</Lut>"},
  };
  for (const Case &c : cases) {
    WriteFile(bin, c.bytes);
    ProcessResult inject =
        Inspect(With({"inject", qa, "--from", bin, "-o", out}, c.payload));
    ASSERT_EQ(inject.status, 0) << inject.err;
    std::string spliced = ReadFile(out);
    size_t begin = original.find(c.element_start);
    size_t end = original.find(c.close, begin) + c.close.size();
    ASSERT_NE(begin, std::string::npos);
    EXPECT_EQ(spliced.substr(0, begin), original.substr(0, begin));
    size_t tail = original.size() - end;
    ASSERT_GT(spliced.size(), begin + tail);
    EXPECT_EQ(spliced.substr(spliced.size() - tail), original.substr(end));
    EXPECT_EQ(spliced.substr(begin, spliced.size() - tail - begin), c.element);
    // The tool carries the new bytes into its output.
    std::string combined = Combined(out, factory);
    std::string digits = c.element.substr(c.element.find('>'));
    EXPECT_NE(combined.find(digits), std::string::npos) << combined;
  }
}

TEST_F(PayloadsTest, InjectAddsAFeatureTheModeLacks) {
  const std::string qa = kExamples + "qa_modes.xml";
  const std::string bin = dir_.File("new.bin");
  const std::string out = dir_.File("out.xml");
  WriteFile(bin, "\x12\x34");
  // Between the features of lower and higher types, indented as they are.
  ASSERT_EQ(Inspect({"inject", qa, "--display", "0", "--mode", "0", "--feature",
                     "5", "--from", bin, "-o", out})
                .status,
            0);
  std::string expected = ReadFile(qa);
  size_t at = expected.find(R"(NumOfFeatures="3")");
  expected.replace(at, 17, R"(NumOfFeatures="4")");
  at = expected.find(R"(<Feature FeatureType="7")");
  expected.insert(
      at,
      R"(<Feature FeatureType="5" Disable="false" DataSize="2">1234</Feature>)"
      "\n            ");
  EXPECT_EQ(ReadFile(out), expected);

  // A mode written <Mode .../> gets a body.
  WriteFile(qa_, kQaFile);
  ASSERT_EQ(Inspect({"inject", qa_, "--display", "1", "--mode", "8",
                     "--feature", "4", "--from", bin, "-o", out})
                .status,
            0);
  expected = kQaFile;
  std::string mode = R"(ColorGamut="native"/>)";
  expected.replace(expected.find(mode), mode.size(),
                   "ColorGamut=\"native\">\n"
                   "        <Feature FeatureType=\"4\" Disable=\"false\" "
                   "DataSize=\"2\">1234</Feature>\n"
                   "    </Mode>");
  expected.replace(expected.find(R"(NumOfFeatures="0")"), 17,
                   R"(NumOfFeatures="1")");
  EXPECT_EQ(ReadFile(out), expected);
  EXPECT_NE(
      Combined(out, kExamples + "factory_modes.xml")
          .find(
              R"(<Feature FeatureType="4" Disable="false" DataSize="2">1234</Feature>)"),
      std::string::npos);

  // NumOfFeatures goes up by one from what it declares, in its written
  // form, whatever the number of features; the blank mode 0 on display 0
  // that NumModes adds is not one that could be meant.
  const std::string section = R"(NumModes="2" DefaultMode="0")";
  const std::string zero = R"(ModeID="0" DisplayID="0" NumOfFeatures=")";
  const std::string two =
      std::string(kFeature) + "\n" + Feature(R"(FeatureType="2")", "EF");
  const std::string added =
      R"(<Feature FeatureType="9" Disable="false" DataSize="2">1234</Feature>)";
  const std::pair<std::string, std::string> counts[] = {
      {"5", "6"}, {" 05 ", " 06 "}, {"0", "1"}};
  for (const auto &[declared, raised] : counts) {
    WriteFile(qa_, Doc(section, zero + declared + "\"", two));
    ProcessResult inject =
        Inspect({"inject", qa_, "--display", "0", "--mode", "0", "--feature",
                 "9", "--from", bin, "-o", out});
    ASSERT_EQ(inject.status, 0) << inject.err;
    EXPECT_EQ(ReadFile(out),
              Doc(section, zero + raised + "\"", two + "\n" + added));
  }
}

TEST_F(PayloadsTest, RefusesWithoutWritingAnything) {
  const std::string qa = kExamples + "qa_modes.xml";
  const std::string out = dir_.File("out.xml");
  const std::string bin = dir_.File("ok.bin");
  const std::string big = dir_.File("big.bin");
  const std::string odd = dir_.File("odd.bin");
  const std::string many = dir_.File("many.bin");
  WriteFile(bin, std::string(16, 'x'));
  WriteFile(big, std::string(tavo::kMaxPayloadSize + 1, 'x'));
  WriteFile(odd, std::string(17, 'x'));
  WriteFile(many, std::string((tavo::kMaxPayloadSize + 1) * 16, 'x'));
  std::string twice = kQaFile;
  twice.replace(twice.find(R"(ModeID="8" DisplayID="1")"), 24,
                R"(ModeID="7" DisplayID="0")");
  WriteFile(qa_, twice);
  const std::string full = dir_.File("full.xml");
  WriteFile(full, FullOfFeatures());
  const std::string three = dir_.File("three.xml");
  WriteFile(three, ThreeLuts());
  const std::string declared_29 = dir_.File("declared_29.xml");
  std::string mode = kMode;
  WriteFile(declared_29, Doc(kSection,
                             mode.replace(mode.find(R"(NumOfFeatures="1")"), 17,
                                          R"(NumOfFeatures="29")"),
                             kFeature));
  const std::string broken = dir_.File("broken.xml");
  WriteFile(broken, "<Calib_Data><Disp_Modes NumModes=\"1\">");
  const std::vector<std::string> feature = {"--display", "0",         "--mode",
                                            "0",         "--feature", "0"};
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{"inject", qa, "--display", "5", "--mode", "0", "--feature", "0",
        "--from", bin},
       "the tool reads no mode 0 on display 5 in " + qa},
      {{"extract", qa, "--display", "0", "--mode", "0", "--feature", "5"},
       "the tool reads no feature 5 in mode 0 on display 0 of " + qa},
      {{"inject", qa, "--lut", "1", "--from", bin},
       "the tool reads no PCC LUT in slot 1 of " + qa},
      {{"extract", qa, "--lut", "9"}, "no PCC LUT in slot 9"},
      // Which slots the file does hold.
      {{"extract", qa, "--lut", "1"},
       "in slot 1 of " + qa + " (the file holds a PCC LUT in slot 0 only)"},
      {{"extract", full, "--lut", "0"}, "(the file holds no PCC LUT)"},
      {{"extract", three, "--lut", "3"},
       "(the file holds PCC LUTs in slots 0, 1 and 2)"},
      {{"inject", qa_, "--display", "0", "--mode", "7", "--feature", "2",
        "--from", bin},
       "reads 2 modes with ID 7 on display 0"},
      {With({"inject", qa, "--from", big}, feature),
       "holds 122024 bytes; a feature holds at most 122023"},
      {{"inject", qa, "--lut", "0", "--from", many},
       "holds 122024 packets; a LUT holds at most 122023"},
      {{"inject", qa, "--lut", "0", "--from", odd},
       "holds 17 bytes, not a whole number of 16-byte packets"},
      {{"inject", full, "--display", "0", "--mode", "0", "--feature", "29",
        "--from", bin},
       "the mode would hold 30 features"},
      {{"inject", declared_29, "--display", "0", "--mode", "3", "--feature",
        "9", "--from", bin},
       "feature 9 of mode 3 on display 0 cannot be set in " + declared_29 +
           ": NumOfFeatures would become 30, which the tool refuses (the mode "
           "would hold 2 features)"},
      {With({"inject", broken, "--from", bin}, feature),
       "inject: nothing written: the tool cannot read " + broken},
      {With({"extract", broken}, feature),
       ": error: the tool fails: Couldn't load file"},
      {With({"inject", qa, "--from", dir_.File("none.bin")}, feature),
       "none.bin cannot be read: No such file or directory"},
      {With({"inject", qa, "--from", dir_.path()}, feature),
       "cannot be read: Is a directory"},
      // A value given twice, of which either could be meant.
      {With({"extract", qa, "--mode", "1"}, feature), "--mode is given twice"},
      {{"inject", qa, "--lut", "0", "--from", bin, "--from=" + bin},
       "--from is given twice"},
      {{"extract", qa, "--lut", "0", "-o", out}, "-o is given twice"},
      {{"extract", qa, "--lut", "-1"},
       "--lut takes a number from 0 to 2147483647, not '-1'"},
  };
  for (const Case &c : cases) {
    ProcessResult result = Inspect(With(c.args, {"-o", out}));
    EXPECT_EQ(result.status, 2) << c.says;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(FileExists(out)) << c.says;
  }
}

TEST_F(PayloadsTest, ReadBackTakesOnlyTheTargetHoldingTheNewBytes) {
  WriteFile(qa_, kQaFile);
  std::unique_ptr<inspect::CalibFile> before = inspect::ReadCalibFile(qa_);
  inspect::PayloadAddress address;
  address.display = 0;
  address.mode = 7;
  address.feature = 2;
  inspect::PayloadSelection selection;
  ASSERT_EQ(inspect::SelectPayload(*before, address, false, &selection), "");
  // kQaFile with feature 2 of mode 7 set to 01 02 and then |from| made
  // |to|.
  auto Check = [&](const std::string &from, const std::string &to) {
    inspect::Splice splice;
    splice.bytes = kQaFile;
    std::string target = R"(DataSize="3">00ab10<)";
    splice.bytes.replace(splice.bytes.find(target), target.size(),
                         R"(DataSize="2">0102<)");
    splice.bytes.replace(splice.bytes.find(from), from.size(), to);
    inspect::EditedCopy copy;
    std::string problem = copy.Keep(&splice.bytes);
    if (!problem.empty()) return problem;
    return copy.ReadBack(*before, selection, "\x01\x02", splice);
  };
  EXPECT_EQ(Check("qa_two", "qa_two"), "");
  EXPECT_EQ(Check(">0102<", ">0103<"),
            "mode 7 on display 0: feature 2 reads otherwise");
  EXPECT_EQ(Check(R"(ModeID="8")", R"(ModeID="9")"),
            "mode 8 on display 1: its ID reads otherwise");
  EXPECT_EQ(Check(R"(NumPackets="2">0001)", R"(NumPackets="2">0002)"),
            "the LUT in slot 0 reads otherwise");
  EXPECT_EQ(Check(R"(NumModes="2")", R"(NumModes="1")"),
            "the mode count or default mode reads otherwise");
}

TEST_F(PayloadsTest, InjectFindsTheElementAsTheParserReadsTheMarkup) {
  WriteFile(qa_, kTricky);
  const std::string bin = dir_.File("new.bin");
  const std::string out = dir_.File("out.xml");
  WriteFile(bin, "\x01\x02");
  const std::string tmp = dir_.File("tmp");
  ASSERT_EQ(mkdir(tmp.c_str(), 0700), 0);
  const char *old_tmp = getenv("TMPDIR");
  std::string saved = old_tmp != nullptr ? old_tmp : "";
  setenv("TMPDIR", tmp.c_str(), 1);
  ProcessResult result =
      Inspect({"inject", qa_, "--display", "0", "--mode", "7", "--feature", "2",
               "--from", bin, "-o", out});
  if (old_tmp != nullptr) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  ASSERT_EQ(result.status, 0) << result.err;
  std::string expected = kTricky;
  std::string from = R"(DataSize="1"><![CDATA[99]]></Feature>)";
  expected.replace(expected.find(from), from.size(),
                   R"(DataSize="2">0102</Feature>)");
  EXPECT_EQ(ReadFile(out), expected);
  EXPECT_TRUE(Folder(tmp).empty()) << "the private copy was left";
  ProcessResult hex = Inspect({"extract", out, "--display", "0", "--mode", "7",
                               "--feature", "2", "--hex"});
  EXPECT_EQ(hex.out, "0102\n");
}

}  // namespace
}  // namespace rimbolt_test
