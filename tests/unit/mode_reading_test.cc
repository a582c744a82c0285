#include <tuple>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::DispMode;
using tavo::DispModes;

class ModeReadingTest : public DbTest {
 protected:
  std::unique_ptr<DispModes> Read(const std::string &body) {
    Open(body, false, tavo::kFileTypeQa);
    std::unique_ptr<DispModes> modes;
    lines_ = LogOf([&] { modes.reset(db_->ReadModes()); });
    return modes;
  }
  // The file that |modes| make, from the root on, behind a declaration.
  std::string Written(DispModes *modes) {
    Open("", true);
    EXPECT_EQ(db_->AddModes(modes), 0);
    return "<?xml version=\"1.0\" ?>\n" + SaveAndRead();
  }

  Lines lines_;
};

TEST_F(ModeReadingTest, WrittenModesReadBackIdentically) {
  auto modes = MakeModes(2);
  DispMode &a = modes->modes[0];
  a.mode_id = -5;
  a.disp_id = -1;  // all 32 bits set
  a.is_default_mode = a.is_merge = true;
  SetText(a.name, "quotes \" and <tags> & more");
  a.num_features = 29;
  SetText(a.dynamic_range, "sdr");
  SetText(a.color_gamut, "srgb");
  SetText(a.picture_quality, "vivid");
  a.render_intent = 2;
  a.features[0] = MakeFeature(0, {0x00, 0xFF, 0x7E}, true);
  a.features[29] = MakeFeature(29, Bytes(tavo::kMaxPayloadSize, 0xC3));
  modes->modes[1].mode_id = 2147483647;
  modes->modes[1].features[7] = MakeFeature(7, {});
  auto read = Read(Written(modes.get()));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->default_mode, -5);
  ASSERT_EQ(read->num_modes, 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Describe(read->modes[i]), Describe(modes->modes[i]));
    EXPECT_STREQ(read->modes[i].name, modes->modes[i].name);
  }
}

TEST_F(ModeReadingTest, ReadsNumbersWithAtoiAndTextsAsTheyStand) {
  const std::string long_name(300, 'n');
  auto modes = Read(
      R"(<Disp_Modes NumModes="3" DefaultMode="-2"><Mode DisplayID="-1" )"
      R"(IsDefaultMode="true" IsAppMode="1" NumOfFeatures="2" WhitePoint="6" )"
      R"(EValue="1" BValue="2" RValue="3" DynamicRange="HDR-x" )"
      R"(ColorGamut="weird" RenderIntent="4" IsMerge="true" Name=")" +
      long_name +
      R"("><Feature FeatureType="3" Disable="1" DataSize="1">11</Feature>)"
      R"(<Feature FeatureType="3" Disable="true" DataSize="2">aBcD</Feature>)"
      R"(<Feature FeatureType="0" DataSize="0">FFFF</Feature>)"
      R"(<Feature FeatureType="1" Disable="yes" DataSize="4"/>)"
      R"(<Feature FeatureType="2" DataSize="2">12345678</Feature>)"
      R"(<Feature FeatureType="4" DataSize="2">7</Feature></Mode>)"
      R"(<Other ModeID="50"/><Mode ModeID="8" IsDefaultMode="1"/></Disp_Modes>)");
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(modes->default_mode, -2);
  ASSERT_EQ(modes->num_modes, 3u);
  // Flags are numbers, so "true" is false; WhitePoint and the E, B and R
  // values are not read; the later of two features of one type wins.
  EXPECT_EQ(Describe(modes->modes[0]),
            "0 -1 010 2 0 0 0 0 [HDR-x][weird][] 4 0:0=null 1:1=00000000 "
            "2:2=1234 3:3d=ABCD 4:4=7000");
  EXPECT_EQ(modes->modes[0].name, long_name.substr(0, 255));
  EXPECT_EQ(Describe(modes->modes[1]), "8 0 100 0 0 0 0 0 [][][] 0");
  DispMode as_made = {};  // the list counts a third mode it never read
  EXPECT_EQ(memcmp(&modes->modes[2], &as_made, sizeof(as_made)), 0);
}

// A 255-byte cut that would split a UTF-8 character ends before it, on
// reading and on writing, so that the output stays well-formed.
TEST_F(ModeReadingTest, LongTextsAreCutAtAWholeCharacter) {
  const std::string kept(254, 'a');
  auto modes = Read(R"(<Disp_Modes NumModes="1"><Mode Name=")" + kept +
                    "\xC3\xA9" "b\" DynamicRange=\"" + std::string(255, 'd') +
                    "\xC3\xA9\"/></Disp_Modes>");
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(modes->modes[0].name, kept);
  EXPECT_EQ(modes->modes[0].dynamic_range, std::string(255, 'd'));

  memcpy(modes->modes[0].name, (kept + "\xC3\xA9").data(), tavo::kNameSize);
  std::string file = Written(modes.get());
  EXPECT_NE(file.find(" Name=\"" + kept + "\" "), std::string::npos) << file;
  tinyxml2::XMLDocument doc;
  EXPECT_EQ(doc.Parse(file.c_str()), tinyxml2::XML_SUCCESS);
}

TEST_F(ModeReadingTest, SectionAndModeCounts) {
  auto modes = Read(
      R"(<Disp_Modes NumModes="2" DefaultMode="7"><Mode ModeID="1" Name="x"/>)"
      R"(<Mode ModeID="2"/><Mode ModeID="3"/></Disp_Modes>)"
      R"(<Disp_Modes NumModes="1"><Mode ModeID="4"/></Disp_Modes>)");
  ASSERT_NE(modes, nullptr);
  ASSERT_EQ(modes->num_modes, 2u);
  EXPECT_EQ(modes->modes[1].mode_id, 2);
  const std::string read = " is successfully read";
  EXPECT_EQ(
      lines_,
      Lines(
          {Info("ReadModes", "num_modes(2), default_mode(7)" + read),
           Info("ReadModes", "num_modes[0] = (1), mode_name[0] = (x)" + read),
           Info("ReadModes", "num_modes[1] = (2), mode_name[1] = ()" + read)}));
  EXPECT_EQ(Read(R"(<Disp_Modes><Mode ModeID="1"/></Disp_Modes>)")->num_modes,
            0u);
  // Only a section directly under the root counts.
  EXPECT_EQ(Read(R"(<W><Disp_Modes NumModes="1"><Mode/></Disp_Modes></W>)"),
            nullptr);
  EXPECT_TRUE(lines_.empty());
}

TEST_F(ModeReadingTest, LimitsRefuseTheWholeList) {
  // NumOfFeatures, FeatureType, DataSize, and the error (none: accepted).
  const std::tuple<const char *, const char *, const char *, const char *>
      cases[] = {
          {"29", "29", "122023", nullptr},
          {"30", "0", "0", "Invalid num of features: 30 in mode:4"},
          {"0", "-1", "0", "Invalid size or type. size:0, type:-1"},
          {"0", "0", "122024", "Invalid size or type. size:122024, type:0"},
      };
  for (const auto &[num_features, type, size, error] : cases) {
    // The first mode is complete when the second one fails.
    auto modes = Read(
        std::string(R"(<Disp_Modes NumModes="2"><Mode ModeID="1"><Feature )"
                    R"(FeatureType="2" DataSize="2">ABCD</Feature></Mode>)"
                    R"(<Mode ModeID="4" NumOfFeatures=")") +
        num_features + "\"><Feature FeatureType=\"" + type + "\" DataSize=\"" +
        size + "\"/></Mode></Disp_Modes>");
    EXPECT_EQ(modes == nullptr, error != nullptr);
    EXPECT_EQ(lines_.back(), error ? Error("ReadModes", error)
                                   : Info("ReadModes",
                                          "num_modes[1] = (4), mode_name[1] = "
                                          "() is successfully read"));
  }
}

}  // namespace
}  // namespace rimbolt_test
