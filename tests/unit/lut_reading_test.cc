#include <ctype.h>

#include <algorithm>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::DispLut;
using tavo::DispLuts;
using tavo::PccLut;

const std::string kPcc =
    R"(<Lut Type="0" NumPackets="1">)" + std::string(32, 'A') + "</Lut>";
const std::string kType1 = R"(<Lut Type="1"/>)";

class LutReadingTest : public DbTest {
 protected:
  // The set stays owned by db_.
  DispLuts *Read(const std::string &body) {
    Open(body, false, tavo::kFileTypeQa);
    DispLuts *luts = nullptr;
    lines_ = LogOf([&] { luts = db_->GetLuts(); });
    return luts;
  }
  static Bytes Packets(DispLuts *luts, int slot) {
    PccLut *lut = static_cast<DispLut<PccLut> *>(luts->lut_slots[slot])->lut;
    return Bytes(lut->packets, lut->packets + lut->num_packets * 16);
  }

  Lines lines_;
};

TEST_F(LutReadingTest, SectionsIntoSlots) {
  struct Case {
    std::string body;
    uint32_t num_luts;
    std::string slots;  // '1' where a PCC LUT was stored
    std::string error;
  } const cases[] = {
      {"<Other/>", 0, "00000", ""},
      {"<Luts>" + kPcc + "</Luts>", 0, "00000", "Invalid num of luts: 0"},
      {R"(<Luts NumLuts="999"/>)", 999, "00000", ""},
      {R"(<Luts NumLuts="1000"/>)", 0, "00000", "Invalid num of luts: 1000"},
      {R"(<Luts NumLuts="-1"/>)", 0, "00000", "Invalid num of luts: -1"},
      {R"(<Luts NumLuts="1">)" + kPcc + R"(<Lut Type="7"/></Luts>)", 1, "10000",
       "More LUTs than expected num: 1"},
      // Passed-over elements keep their positions.
      {R"(<Luts NumLuts="3">)" + kType1 + kPcc + "</Luts>", 3, "01000", ""},
      {R"(<Luts NumLuts="2"><Lut Type="0"/>)" + kPcc + "</Luts>", 2, "01000",
       ""},
      {R"(<Luts NumLuts="2"><Lut Type="" NumPackets="1"/></Luts>)", 2, "10000",
       ""},
      {R"(<Luts NumLuts="1"><Foo Type="0" NumPackets="1"/><!--c-->)" + kPcc +
           "</Luts>",
       1, "10000", ""},
      {R"(<Luts NumLuts="1"><Lut Type="0" NumPackets="122023"/></Luts>)", 1,
       "10000", ""},
      {R"(<Luts NumLuts="1"><Lut Type="0" NumPackets="122024"/></Luts>)", 1,
       "00000", "Unexpectedly high number of PCC LUT packets: 122024"},
      {R"(<Luts NumLuts="1"><Lut Type="0" NumPackets="-5"/></Luts>)", 1,
       "00000", "Unexpectedly high number of PCC LUT packets: -5"},
      {R"(<Luts NumLuts="1"><Lut Type="0" NumPackets="0">AB</Lut></Luts>)", 1,
       "10000", ""},
      // A set has five slots: a PCC LUT at position 5 is passed over, once
      // its packet count has been checked like any other's.
      {R"(<Luts NumLuts="6">)" + kType1 + kType1 + kType1 + kType1 + kType1 +
           kPcc + "</Luts>",
       6, "00000", ""},
      {R"(<Luts NumLuts="6">)" + kType1 + kType1 + kType1 + kType1 + kType1 +
           R"(<Lut Type="0" NumPackets="122024"/></Luts>)",
       6, "00000", "Unexpectedly high number of PCC LUT packets: 122024"},
      // Only the first section directly under the root is read.
      {"<W><Luts NumLuts=\"1\">" + kPcc + "</Luts></W><Luts NumLuts=\"1\">" +
           kType1 + "</Luts><Luts NumLuts=\"1\">" + kPcc + "</Luts>",
       1, "00000", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.body);
    DispLuts *luts = Read(c.body);
    ASSERT_NE(luts, nullptr);
    EXPECT_EQ(luts->num_luts, c.num_luts);
    std::string slots;
    for (auto *slot : luts->lut_slots) {
      auto *pcc = static_cast<DispLut<PccLut> *>(slot);
      slots += pcc != nullptr ? '1' : '0';
      if (pcc == nullptr) continue;
      EXPECT_EQ(pcc->type, 0);
      EXPECT_TRUE(pcc->owns_lut);
      EXPECT_NE(pcc->lut, nullptr);
    }
    EXPECT_EQ(slots, c.slots);
    EXPECT_EQ(lines_, c.error.empty()
                          ? Lines()
                          : Lines({Error("GetLutsFromNode", c.error)}));
  }
}

TEST_F(LutReadingTest, DecodesPacketsOfEitherCase) {
  Bytes bytes(32);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = 0xF0 - 7 * i;
  std::string lower = Hex(bytes);
  std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
  const std::string two = R"(<Lut Type="0" NumPackets="2">)";
  DispLuts *luts = Read(R"(<Luts NumLuts="4">)" + two + Hex(bytes) + "</Lut>" +
                        two + lower + "0123</Lut>" + two + "</Lut>" +
                        R"(<Lut Type="0" NumPackets="1">ABC</Lut></Luts>)");
  ASSERT_NE(luts, nullptr);
  EXPECT_EQ(Packets(luts, 0), bytes);
  EXPECT_EQ(Packets(luts, 1), bytes);  // surplus digits ignored
  EXPECT_EQ(Packets(luts, 2), Bytes(32, 0x00));
  Bytes short_text(16, 0x00);
  short_text[0] = 0xAB;
  short_text[1] = 0xC0;
  EXPECT_EQ(Packets(luts, 3), short_text);
}

TEST_F(LutReadingTest, HeldSetLastsUntilTheNextGetLuts) {
  Read(R"(<Luts NumLuts="2">)" + kPcc + "</Luts>");
  DispLuts *second = db_->GetLuts();  // releases the first set
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(db_->SaveAndCloseFile(), 0);
  EXPECT_EQ(db_->GetLuts(), nullptr);
  // A failed call leaves the held set alone.
  EXPECT_EQ(second->num_luts, 2u);
  EXPECT_EQ(Packets(second, 0), Bytes(16, 0xAA));
}

}  // namespace
}  // namespace rimbolt_test
