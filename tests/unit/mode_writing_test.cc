#include <tuple>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::DispMode;

class ModeWritingTest : public DbTest {
 protected:
  tinyxml2::XMLElement *Section() {
    return Root()->FirstChildElement("Disp_Modes");
  }
  tinyxml2::XMLElement *FirstMode() {
    return Section()->FirstChildElement("Mode");
  }
};

TEST_F(ModeWritingTest, WritesAttributesInOrderAndReplacesTheRoot) {
  Open("<Luts NumLuts=\"1\"/><Other/>", true, tavo::kFileTypeQa);
  auto modes = MakeModes(1);
  DispMode &m = modes->modes[0];
  m.mode_id = 5;
  m.disp_id = -1;
  m.is_default_mode = m.is_app_mode = m.is_merge = true;
  SetText(m.name, "main <&>");
  m.num_features = 7;  // copied, not counted
  m.white_point = -3;
  m.e_value = 4294967295u;
  m.b_value = 2;
  m.r_value = 3;
  SetText(m.dynamic_range, "hdr");
  SetText(m.color_gamut, "display_p3");
  SetText(m.picture_quality, "netflix");
  m.render_intent = -7;
  m.features[0] = MakeFeature(0, {});
  m.features[3] = MakeFeature(3, {0x00, 0xAB, 0x10}, true);
  m.features[29] = MakeFeature(12, {0xFF});  // its own type, not the slot
  EXPECT_EQ(
      LogOf([&] { EXPECT_EQ(db_->AddModes(modes.get()), 0); }),
      Lines({Info("AddModes",
                  "Saving modes to XML file: num_modes:1, default_mode:0"),
             Info("AddMode",
                  "Adding Mode: mode_id:5, disp_id:-1, default_mode_id:1, "
                  "file_type_:0, name:main <&>, num_features:7"),
             Error("AddMode", "No valid data in the feature."),
             Info("AddMode", "Mode (5) added succesfully."),
             Info("AddModes", "Successfully added modes: size:1")}));
  EXPECT_EQ(SaveAndRead(), R"(<Calib_Data>
    <Disp_Modes NumModes="1" DefaultMode="5">
        <Mode ModeID="5" DisplayID="-1" IsDefaultMode="1" IsAppMode="0" Name="main &lt;&amp;&gt;" NumOfFeatures="7" WhitePoint="-3" EValue="4294967295" BValue="2" RValue="3" DynamicRange="hdr" ColorGamut="display_p3" PictureQuality="netflix" RenderIntent="-7" IsMerge="1">
            <Feature FeatureType="0" Disable="false" DataSize="0"/>
            <Feature FeatureType="3" Disable="true" DataSize="3">00AB10</Feature>
            <Feature FeatureType="12" Disable="false" DataSize="1">FF</Feature>
        </Mode>
    </Disp_Modes>
</Calib_Data>
)");
}

TEST_F(ModeWritingTest, WritesOnlyAllowedClassificationTexts) {
  const std::tuple<const char *, const char *, bool> cases[] = {
      {"DynamicRange", "sdr", true},       {"DynamicRange", "HDR", false},
      {"DynamicRange", "hdr ", false},     {"ColorGamut", "native", true},
      {"ColorGamut", "display-p3", false}, {"ColorGamut", "DCIP3", false},
      {"PictureQuality", "sharp", true},   {"PictureQuality", "Netflix", false},
      {"PictureQuality", "", false},
  };
  for (const auto &[attribute, text, written] : cases) {
    SCOPED_TRACE(text);
    // An app-mode file marks every mode, whatever the record says.
    Open("", true, tavo::kFileTypeAppMode);
    DispMode mode = {};
    SetText(attribute[0] == 'D'   ? mode.dynamic_range
            : attribute[0] == 'C' ? mode.color_gamut
                                  : mode.picture_quality,
            text);
    EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->AddMode(&mode), 0); }).size(), 2u);
    EXPECT_STREQ(FirstMode()->Attribute(attribute), written ? text : nullptr);
    EXPECT_STREQ(FirstMode()->Attribute("Name"), "");
    EXPECT_STREQ(FirstMode()->Attribute("IsAppMode"), "1");
  }
}

TEST_F(ModeWritingTest, CountsModesAndTheLastDefaultDecides) {
  // Modes, how many of the last ones are default, NumModes/DefaultMode.
  const std::tuple<int, uint32_t, const char *> lists[] = {
      {3, 0, "3/4"}, {3, 2, "3/12"}, {0, 0, "0/4"}};
  for (const auto &[count, flagged, expected] : lists) {
    Open("", true);
    auto modes = MakeModes(count, 4);
    for (uint32_t i = 0; i < modes->num_modes; ++i) {
      modes->modes[i].mode_id = 10 + i;
      modes->modes[i].is_default_mode = i + flagged >= 3;
    }
    ASSERT_EQ(db_->AddModes(modes.get()), 0);
    EXPECT_EQ(std::string(Section()->Attribute("NumModes")) + "/" +
                  Section()->Attribute("DefaultMode"),
              expected);
  }
  // AddMode alone: makes the section, or counts into the one there.
  const std::pair<const char *, const char *> counts[] = {
      {nullptr, "1/-1"},
      {"abc", "1/8"},
      {"999999999", "1000000000/8"},
      {"1234567890", "1234567890/8"},
      {"-1", "-1/8"}};
  DispMode mode = {};
  mode.mode_id = 3;
  for (const auto &[before, after] : counts) {
    Open(before ? std::string("<Disp_Modes NumModes=\"") + before +
                      "\" DefaultMode=\"8\"/>"
                : "",
         true);
    ASSERT_EQ(db_->AddMode(&mode), 0);
    EXPECT_EQ(std::string(Section()->Attribute("NumModes")) + "/" +
                  Section()->Attribute("DefaultMode"),
              after);
    EXPECT_NE(FirstMode(), nullptr);
  }
  Open("<Disp_Modes DefaultMode=\"8\"/>", true);
  EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->AddMode(&mode), -22); }),
            Lines({Error("AddMode", "Invalid NumModes")}));
  EXPECT_EQ(Section()->FirstChild(), nullptr);
}

TEST_F(ModeWritingTest, OversizedPayloadFailsTheModeAndTheList) {
  Open("", true);
  auto modes = MakeModes(2);
  DispMode &m = modes->modes[0];
  m.mode_id = 6;
  m.features[1] = MakeFeature(1, Bytes(tavo::kMaxPayloadSize, 0x5A));
  m.features[2] = MakeFeature(2, Bytes(tavo::kMaxPayloadSize + 1));
  m.features[5] = MakeFeature(5, {0x01});
  Lines lines = LogOf([&] { EXPECT_EQ(db_->AddModes(modes.get()), -22); });
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], Error("AddMode",
                            "Size of feature payload is "
                            "unexpectedly big: 122024"));
  EXPECT_EQ(lines[3], Error("AddModes", "Failed to add modes: mode_id: 6"));
  EXPECT_EQ(FirstMode()->NextSibling(), nullptr);
  const tinyxml2::XMLElement *largest = FirstMode()->FirstChildElement();
  EXPECT_EQ(strlen(largest->GetText()), 2 * tavo::kMaxPayloadSize);
  EXPECT_EQ(
      Compact(largest->NextSibling()),
      "<Feature FeatureType=\"2\" Disable=\"false\" DataSize=\"122024\"/>");
  EXPECT_EQ(largest->NextSibling()->NextSibling(), nullptr);
}

}  // namespace
}  // namespace rimbolt_test
