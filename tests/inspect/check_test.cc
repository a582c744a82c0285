// Each finding of check, on a file with that one trap, and what the tool's
// own reader and writer then do with the file: the consequence the finding
// claims.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <memory>
#include <string>

#include "calib_db/xml_database_test.h"
#include "inspect/findings.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

// The file as the tool reads it, and what it then writes.
struct Read {
  std::unique_ptr<tavo::XmlDatabaseTest> db;
  std::unique_ptr<tavo::DispModes> modes;
  tavo::DispLuts *luts = nullptr;
  std::string written;
};

Read ReadAndWrite(const std::string &path, const std::string &output) {
  Read read;
  read.db =
      std::make_unique<tavo::XmlDatabaseTest>(tavo::kFileTypeQa, path.c_str());
  LogCapture quiet;
  if (read.db->LoadFile() != 0) return read;
  read.modes.reset(read.db->ReadModes());
  if (read.modes == nullptr) return read;
  read.luts = read.db->GetLuts();
  tavo::XmlDatabaseTest out(tavo::kFileTypeFactory, output.c_str());
  if (out.EditFile() == 0 && out.AddModes(read.modes.get()) == 0) {
    out.AddLuts(read.luts);
    out.SaveAndCloseFile();
  }
  read.written = ReadFile(output);
  return read;
}

constexpr char kSection[] = R"(NumModes="1" DefaultMode="3")";
constexpr char kMode[] = R"(ModeID="3" IsDefaultMode="1" NumOfFeatures="1")";
constexpr char kFeature[] =
    R"(<Feature FeatureType="1" Disable="false" DataSize="2">ABCD</Feature>)";
constexpr char kPcc[] =
    R"(<Lut Type="0" NumPackets="1">000102030405060708090A0B0C0D0E0F</Lut>)";

// Root on line 1, "Disp_Modes" on 2, "Mode" on 3, features from 4; with
// one feature line, "Luts" is on 7 and its LUTs from 8.
std::string Doc(const std::string &section, const std::string &mode,
                const std::string &features, const std::string &luts = "") {
  return "<Calib_Data>\n<Disp_Modes " + section + ">\n<Mode " + mode + ">\n" +
         features + "\n</Mode>\n</Disp_Modes>\n" + luts + "</Calib_Data>\n";
}

std::string Luts(const std::string &count, const std::string &luts) {
  return "<Luts NumLuts=\"" + count + "\">\n" + luts + "\n</Luts>\n";
}

uint8_t PayloadByte(const Read &read, int type, int offset) {
  return read.modes->modes[0].features[type]->payload[offset];
}

struct Case {
  const char *code;
  int line;
  std::string file;
  std::function<void(const Read &)> shows;
};

TEST(CheckTest, FindsEachTrapWhereTheToolReadsItOtherwise) {
  const std::string kLong(300, 'n');
  const Case kCases[] = {
      {"num-modes-mismatch", 2,
       Doc(R"(NumModes="2" DefaultMode="3")", kMode, kFeature),
       [](const Read &r) {
         ASSERT_EQ(r.modes->num_modes, 2u);
         EXPECT_EQ(r.modes->modes[1].features[1], nullptr);
         EXPECT_NE(r.written.find("NumModes=\"2\""), std::string::npos);
       }},
      {"num-features-mismatch", 3,
       Doc(kSection, R"(ModeID="3" IsDefaultMode="1" NumOfFeatures="2")",
           kFeature),
       [](const Read &r) {
         EXPECT_NE(r.written.find("NumOfFeatures=\"2\""), std::string::npos);
       }},
      {"duplicate-feature-type", 5,
       Doc(kSection, kMode,
           std::string(kFeature) +
               "\n<Feature FeatureType=\"1\" DataSize=\"2\">1234</Feature>"),
       [](const Read &r) { EXPECT_EQ(PayloadByte(r, 1, 0), 0x12); }},
      {"payload-length", 4,
       Doc(kSection, kMode,
           R"(<Feature FeatureType="1" DataSize="2">ABC</Feature>)"),
       [](const Read &r) { EXPECT_EQ(PayloadByte(r, 1, 1), 0xC0); }},
      {"payload-not-hex", 4,
       Doc(kSection, kMode,
           R"(<Feature FeatureType="1" DataSize="2">A BC</Feature>)"),
       [](const Read &r) { EXPECT_EQ(PayloadByte(r, 1, 0), 0xA0); }},
      {"number-form", 3,
       Doc(kSection, std::string(kMode) + " RenderIntent=\"0x1E\"", kFeature),
       [](const Read &r) { EXPECT_EQ(r.modes->modes[0].render_intent, 0); }},
      {"disable-unparsed", 4,
       Doc(kSection, kMode,
           R"(<Feature FeatureType="1" Disable="yes" DataSize="2">ABCD</Feature>)"),
       [](const Read &r) {
         EXPECT_FALSE(r.modes->modes[0].features[1]->disable);
       }},
      {"classification-dropped", 3,
       Doc(kSection, std::string(kMode) + " ColorGamut=\"sRGB\"", kFeature),
       [](const Read &r) {
         EXPECT_STREQ(r.modes->modes[0].color_gamut, "sRGB");
         EXPECT_EQ(r.written.find("ColorGamut"), std::string::npos);
       }},
      {"text-cut", 3,
       Doc(kSection, std::string(kMode) + " Name=\"" + kLong + "\"", kFeature),
       [](const Read &r) { EXPECT_EQ(strlen(r.modes->modes[0].name), 255u); }},
      {"default-mode-mismatch", 2,
       Doc(R"(NumModes="1" DefaultMode="4")", kMode, kFeature),
       [](const Read &r) {
         EXPECT_NE(r.written.find("DefaultMode=\"3\""), std::string::npos);
       }},
      {"unknown-name", 4,
       Doc(kSection, kMode,
           R"(<Feature Featuretype="1" DataSize="2">ABCD</Feature>)"),
       [](const Read &r) {
         EXPECT_NE(r.modes->modes[0].features[0], nullptr);
       }},
      {"section-ignored", 7,
       Doc(kSection, kMode, kFeature,
           "<Disp_Modes NumModes=\"1\"><Mode ModeID=\"9\"/></Disp_Modes>\n"),
       [](const Read &r) {
         ASSERT_EQ(r.modes->num_modes, 1u);
         EXPECT_EQ(r.modes->modes[0].mode_id, 3);
       }},
      {"luts-ignored", 7, Doc(kSection, kMode, kFeature, Luts("0", kPcc)),
       [](const Read &r) {
         EXPECT_EQ(r.written.find("<Lut "), std::string::npos);
       }},
      {"luts-extra", 9,
       Doc(kSection, kMode, kFeature,
           Luts("1", std::string(kPcc) + "\n" + kPcc)),
       [](const Read &r) {
         EXPECT_NE(r.luts->lut_slots[0], nullptr);
         EXPECT_EQ(r.luts->lut_slots[1], nullptr);
       }},
      {"lut-not-carried", 9,
       Doc(kSection, kMode, kFeature,
           Luts("2", std::string("<Lut Type=\"1\"/>\n") + kPcc)),
       [](const Read &r) {
         EXPECT_NE(r.luts->lut_slots[1], nullptr);
         EXPECT_EQ(r.written.find("NumPackets"), std::string::npos);
       }},
  };
  TempDir dir;
  const std::string clean = dir.File("clean.xml");
  WriteFile(clean, Doc(kSection, kMode, kFeature, Luts("1", kPcc)));
  EXPECT_TRUE(inspect::CheckFile(clean).empty());
  for (const Case &trap : kCases) {
    SCOPED_TRACE(trap.code);
    const std::string path = dir.File(std::string(trap.code) + ".xml");
    WriteFile(path, trap.file);
    std::vector<inspect::Finding> found = inspect::CheckFile(path);
    ASSERT_EQ(found.size(), 1u) << found[0].code << ": " << found[0].message;
    EXPECT_STREQ(found[0].code, trap.code);
    EXPECT_EQ(found[0].line, trap.line);
    EXPECT_FALSE(found[0].is_error);
    Read read = ReadAndWrite(path, dir.File("out.xml"));
    ASSERT_NE(read.modes, nullptr);
    trap.shows(read);
  }
}

TEST(CheckTest, ReportsWhatTheReaderRefusesWithItsReason) {
  TempDir dir;
  const std::string path = dir.File("refused.xml");
  WriteFile(path,
            Doc(kSection, kMode,
                R"(<Feature FeatureType="30" DataSize="2">ABCD</Feature>)"));
  std::vector<inspect::Finding> found = inspect::CheckFile(path);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_STREQ(found[0].code, "unreadable");
  EXPECT_TRUE(found[0].is_error);
  EXPECT_EQ(found[0].line, 4);
  EXPECT_NE(found[0].message.find("Invalid size or type. size:2, type:30"),
            std::string::npos)
      << found[0].message;
  EXPECT_EQ(ReadAndWrite(path, dir.File("out.xml")).modes, nullptr);
}

}  // namespace
}  // namespace rimbolt_test
