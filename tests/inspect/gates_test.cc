// Payload checksums in show, the bytes diff lists, the filters of show,
// check and diff, and check's gates for CI.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "inspect/base/crc32.h"
#include "inspect/model/codes.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

class GatesTest : public RunFilesTest {
 protected:
  ProcessResult Inspect(const std::vector<std::string> &args) {
    std::vector<std::string> command = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, dir_.path());
  }

  // kQaFile with |from| replaced by |to|, at |path|.
  void WriteEdited(const std::string &path, const std::string &from,
                   const std::string &to) {
    std::string edited = kQaFile;
    size_t at = edited.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    edited.replace(at, from.size(), to);
    WriteFile(path, edited);
  }
};

std::string Crc(const std::string &bytes) {
  return inspect::Crc32Text(reinterpret_cast<const uint8_t *>(bytes.data()),
                            bytes.size());
}

TEST(Crc32Test, MatchesTheKnownValues) {
  EXPECT_EQ(Crc(""), "00000000");
  EXPECT_EQ(crc32_z(0, nullptr, 0), 0u);
  EXPECT_EQ(Crc("123456789"), "cbf43926");
  EXPECT_EQ(Crc("a"), "e8b7be43");
  EXPECT_EQ(Crc(std::string(32, '\0')), "190a55ad");
  EXPECT_EQ(Crc("The quick brown fox jumps over the lazy dog"), "414fa339");
}

TEST_F(GatesTest, DiffListsTheDifferingBytesUpToMax) {
  WriteFile(qa_, kQaFile);
  // Feature 2 gets byte 2 changed and two bytes more; the LUT's packet 1
  // byte 1 changes.
  std::string edited = kQaFile;
  for (const auto &[from, to] :
       {std::pair<std::string, std::string>{R"(DataSize="3">00ab10<)",
                                            R"(DataSize="5">00ab113344<)"},
        {"0e0f101112", "0e0f10FF12"}}) {
    size_t at = edited.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    edited.replace(at, from.size(), to);
  }
  const std::string new_path = dir_.File("new.xml");
  WriteFile(new_path, edited);

  ProcessResult text =
      Inspect({"diff", "--bytes", "--max", "2", qa_, new_path});
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out,
            "Mode 7 on display 0 \"qa&one\": changed\n"
            "  feature 2        changed, 3 -> 5 bytes, 3 bytes differ from "
            "offset 2\n"
            "    offset 2: 10 -> 11\n"
            "    offset 3: -- -> 33\n"
            "    1 byte more differs, not listed\n"
            "LUT 0              changed, 2 -> 2 packets, 1 byte differs from "
            "offset 17\n"
            "    packet 1 byte 1: 11 -> FF\n");

  // The other way round, as JSON: the byte the old side lacks is null.
  ProcessResult json =
      Inspect({"diff", "--json", "--bytes", "--max=2", new_path, qa_});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.out,
            R"({"attributes":[],"modes":[{"display_id":0,"mode_id":7,)"
            R"("name":"qa&one","change":"changed","attributes":[],)"
            R"("features":[{"type":2,"change":"changed","old_size":5,)"
            R"("new_size":3,"bytes_differing":3,"first_difference":2,)"
            R"("bytes":[{"offset":2,"old":17,"new":16},)"
            R"({"offset":3,"old":51,"new":null}],"bytes_left_out":1}]}],)"
            R"("luts":[{"position":0,"change":"changed","old_packets":2,)"
            R"("new_packets":2,"bytes_differing":1,"first_difference":17,)"
            R"("bytes":[{"packet":1,"byte":1,"old":255,"new":17}],)"
            R"("bytes_left_out":0}]})"
            "\n");
}

TEST_F(GatesTest, ShowOnlyTheModesAndFeaturesSelected) {
  WriteFile(qa_, kQaFile);
  ProcessResult shown = Inspect({"show", "--display", "0", qa_});
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out,
            qa_ +
                ": 2 modes, default mode 7\n"
                "--display 0 selects 1 mode\n"
                "\n"
                "Mode 7 on display 0: \"qa&one\"\n"
                "  default yes, app mode no, merge no, render intent 2\n"
                "  dynamic range \"sdr\", colour gamut \"srgb\", picture "
                "quality \"vivid\"\n"
                "  FEATURE    SIZE  DISABLED  CRC32\n"
                "        2       3       yes  af05ac54\n"
                "\n"
                "LUTs: not shown, they belong to no mode\n");
  ProcessResult none = Inspect({"show", "--json", "--feature", "4", qa_});
  EXPECT_EQ(none.status, 0);
  EXPECT_NE(none.out.find(R"("features":[]},{"mode_id":8)"), std::string::npos)
      << none.out;
  EXPECT_NE(none.out.find(R"(,"luts":null})"), std::string::npos) << none.out;
  EXPECT_NE(Inspect({"show", "--mode", "3", qa_})
                .out.find("--mode 3 selects no mode\n"),
            std::string::npos);
}

// Every ID that show prints, negative ones too, can be named again.
TEST_F(GatesTest, NegativeIdsSelectAndNamePayloadsLikeAnyOther) {
  WriteEdited(qa_, R"(ModeID="8" DisplayID="1")",
              R"(ModeID="-5" DisplayID="-1")");
  ProcessResult shown = Inspect({"show", "--display", "-1", "--mode=-5", qa_});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("--display -1 --mode -5 selects 1 mode\n\n"
                           "Mode -5 on display -1: \"qa_two\"\n"),
            std::string::npos)
      << shown.out;
  ProcessResult checked = Inspect({"check", "--display=-1", qa_});
  EXPECT_EQ(checked.status, 1);
  EXPECT_NE(checked.out.find(qa_ + ":5: warning: DynamicRange=\"HDR\""),
            std::string::npos)
      << checked.out;
  const std::string bin = dir_.File("f3.bin");
  const std::string out = dir_.File("out.xml");
  WriteFile(bin, "\x01\x02");
  const std::vector<std::string> address = {"--display", "-1",        "--mode",
                                            "-5",        "--feature", "3"};
  std::vector<std::string> inject = {"inject", qa_, "--from", bin, "-o", out};
  inject.insert(inject.end(), address.begin(), address.end());
  ASSERT_EQ(Inspect(inject).status, 0);
  std::vector<std::string> extract = {"extract", out, "--hex"};
  extract.insert(extract.end(), address.begin(), address.end());
  EXPECT_EQ(Inspect(extract).out, "0102\n");
  ProcessResult changed = Inspect({"diff", "--mode", "-5", qa_, out});
  EXPECT_EQ(changed.status, 1);
  EXPECT_NE(changed.out.find("Mode -5 on display -1 \"qa_two\": changed\n"),
            std::string::npos)
      << changed.out;
}

TEST_F(GatesTest, FilteredDiffComparesOnlyTheModesSelected) {
  WriteFile(qa_, kQaFile);
  const std::string new_path = dir_.File("new.xml");
  // Mode 8 renamed, and the file's default mode changed: only mode 8 is
  // selected, and DefaultMode is not compared.
  WriteEdited(new_path, R"(Name="qa_two")", R"(Name="qa_2")");
  ProcessResult selected = Inspect({"diff", "--mode", "8", qa_, new_path});
  EXPECT_EQ(selected.status, 1);
  EXPECT_EQ(selected.out,
            "Compared: what --mode 8 selects, 1 mode in OLD and 1 in NEW\n"
            "Not compared under a filter: DefaultMode, NumLuts and LUTs\n"
            "Mode 8 on display 1 \"qa_two\": changed\n"
            "  Name             \"qa_two\" -> \"qa_2\"\n");
  ProcessResult other =
      Inspect({"diff", "--json", "--display", "0", qa_, new_path});
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(other.out,
            R"({"attributes":null,"modes_selected":{"old":1,"new":1},)"
            R"("modes":[],"luts":null})"
            "\n");
}

TEST_F(GatesTest, CheckKeepsTheFindingsOfTheModeAndFeatureSelected) {
  // Mode 7 (line 4) has a WhitePoint and, in its feature of type 2, a
  // Disable="1" and lower-case digits; mode 8 (line 5) a dropped "HDR"; the
  // LUT (line 7) lower-case digits.
  WriteFile(qa_, kQaFile);
  ProcessResult feature = Inspect({"check", "--feature", "2", qa_});
  EXPECT_EQ(feature.status, 1);
  EXPECT_EQ(feature.out,
            qa_ +
                ":4: warning: Disable=\"1\" is read as true: written "
                "\"true\" [disable-form]\n" +
                qa_ +
                ":4: warning: payload has 2 digits in lower case: "
                "read as the same bytes, written in upper case "
                "[payload-case]\n" +
                qa_ +
                ": --feature 2 selects 1 feature in 2 modes; 3 "
                "findings elsewhere are left out\n");
  ProcessResult display = Inspect({"check", "--json", "--display", "1", qa_});
  EXPECT_EQ(display.status, 1);
  EXPECT_EQ(display.out,
            R"({"findings":[{"file":")" + qa_ +
                R"(","line":5,"severity":"warning",)"
                R"("code":"classification-dropped","message":)"
                R"("DynamicRange=\"HDR\" is not an allowed value: it is )"
                R"(left out of the output"}],"filtered":[{"file":")" +
                qa_ +
                R"(","modes_selected":1,"findings_left_out":4}]})"
                "\n");
  ProcessResult nothing =
      Inspect({"check", "--display", "1", "--mode", "7", qa_});
  EXPECT_EQ(nothing.status, 0);
  EXPECT_EQ(nothing.out, qa_ + ": nothing found\n" + qa_ +
                             ": --display 1 --mode 7 selects no mode; 5 "
                             "findings elsewhere are left out\n");
  // A mode without DisplayID is of the display the reader gives it.
  WriteEdited(qa_, R"(ModeID="8" DisplayID="1")", R"(ModeID="8")");
  ProcessResult unnamed =
      Inspect({"check", "--display", "0", "--mode", "8", qa_});
  EXPECT_EQ(unnamed.status, 1);
  EXPECT_NE(unnamed.out.find(qa_ + ":5: warning: Mode has no DisplayID"),
            std::string::npos)
      << unnamed.out;
  // The error that the tool fails stays, whatever the filter.
  WriteEdited(qa_, R"(FeatureType="2")", R"(FeatureType="40")");
  ProcessResult refused = Inspect({"check", "--display", "9", qa_});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out.find(qa_ + ":4: error: the tool fails: "), 0u)
      << refused.out;
}

TEST_F(GatesTest, GatesMakeWarningsErrorsOrDropThem) {
  WriteFile(qa_, kQaFile);
  ProcessResult gated =
      Inspect({"check", "--json", "--error-on", "classification-dropped", qa_});
  EXPECT_EQ(gated.status, 2);
  EXPECT_NE(gated.out.find(R"("line":5,"severity":"error",)"
                           R"("code":"classification-dropped")"),
            std::string::npos)
      << gated.out;
  EXPECT_NE(gated.out.find(R"("line":7,"severity":"warning")"),
            std::string::npos)
      << gated.out;
  ProcessResult ignored =
      Inspect({"check", "--ignore",
               "attribute-not-carried,disable-form,payload-case", qa_});
  EXPECT_EQ(ignored.status, 1);
  EXPECT_EQ(ignored.out.find(qa_ + ":5: warning: "), 0u) << ignored.out;
  // A code that is none says which are.
  std::string codes;
  for (size_t i = 0; i < inspect::kNumCodes; ++i) {
    codes += (i > 0 ? ", " : "") + std::string(inspect::kCodes[i].name);
  }
  ProcessResult unknown = Inspect({"check", "--error-on", "bogus", qa_});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')),
            "rimbolt-inspect: unknown code 'bogus' for --error-on; the codes "
            "are: " +
                codes);
  EXPECT_NE(codes.find("unreadable, num-modes-mismatch, "), std::string::npos);
  // A code both made an error and dropped is a bad command line.
  ProcessResult both =
      Inspect({"check", "--json", "--error-on", "payload-case,disable-form",
               "--ignore=disable-form", qa_});
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.out,
            R"({"errors":[{"file":null,"line":null,"severity":"error",)"
            R"("code":"usage","message":"--error-on and --ignore both name )"
            R"(disable-form"}]})"
            "\n");
  EXPECT_EQ(both.err.find("rimbolt-inspect: --error-on and --ignore both "
                          "name disable-form\nusage: "),
            0u)
      << both.err;
  ProcessResult clean = Inspect(
      {"check", "--ignore", "attribute-not-carried,disable-form,payload-case",
       "--ignore=classification-dropped", qa_});
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.out, qa_ + ": nothing found\n");
}

}  // namespace
}  // namespace rimbolt_test
