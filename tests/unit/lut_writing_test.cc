#include <functional>
#include <tuple>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::DispLut;
using tavo::DispLuts;
using tavo::PccLut;

DispLut<PccLut> *Wrapper(int type, PccLut *lut) {
  auto *wrapper = new DispLut<PccLut>();
  wrapper->type = type;
  wrapper->lut = lut;
  wrapper->owns_lut = true;
  return wrapper;
}

// A PCC LUT holding |packets|; |num_packets| puts its count out of step.
DispLut<PccLut> *Pcc(const Bytes &packets, int num_packets = -1) {
  PccLut *lut = PccLut::Init(static_cast<int>(packets.size() / 16));
  if (!packets.empty()) memcpy(lut->packets, packets.data(), packets.size());
  if (num_packets >= 0) lut->num_packets = num_packets;
  return Wrapper(0, lut);
}

std::string PccText(const Bytes &packets) {
  return "<Lut Type=\"0\" NumPackets=\"" + std::to_string(packets.size() / 16) +
         "\">" + Hex(packets) + "</Lut>";
}

const std::string kAdding =
    Info("AddLutInNode", "Adding Generic PCC Lut. num_packets:");
const std::string kAdded =
    Info("AddLutInNode", "Added to LUT packets in the file.");
const std::string kNoData = Info("AddLutInNode", "No data packet in the LUT ");

std::string Unsupported(int slot) {
  return Info("AddLuts", "Lut (" + std::to_string(slot) +
                             ") exisitng, but not supported.");
}

class LutWritingTest : public DbTest {
 protected:
  void SetUp() override { luts_.reset(DispLuts::Init()); }
  std::unique_ptr<DispLuts> luts_;
};

TEST_F(LutWritingTest, PccLutInSlotZeroFollowsTheModes) {
  Open("", true);
  Bytes packets(32);
  for (size_t i = 0; i < packets.size(); ++i) packets[i] = 0x0F * i + 3;
  luts_->num_luts = 1;
  luts_->lut_slots[0] = Pcc(packets);
  auto modes = MakeModes(0);
  ASSERT_EQ(db_->AddModes(modes.get()), 0);
  EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->AddLuts(luts_.get()), 0); }),
            Lines({kAdding + "2, lut_size:32", kAdded}));
  EXPECT_EQ(SaveAndRead(), R"(<Calib_Data>
    <Disp_Modes NumModes="0" DefaultMode="0"/>
    <Luts NumLuts="1">
        <Lut Type="0" NumPackets="2">031221303F4E5D6C7B8A99A8B7C6D5E4F30211202F3E4D5C6B7A8998A7B6C5D4</Lut>
    </Luts>
</Calib_Data>
)");
}

TEST_F(LutWritingTest, OnlySlotZeroIsWritten) {
  struct Case {
    uint32_t num_luts;
    std::function<void(DispLuts *)> fill;
    std::string section;
    Lines lines;
  } const cases[] = {
      {0, [](DispLuts *) {}, "<Luts NumLuts=\"0\"/>", {}},
      {3,
       [](DispLuts *l) {
         l->lut_slots[0] = Pcc(Bytes(16, 0x1A));
         l->lut_slots[2] = Wrapper(5, nullptr);
         l->lut_slots[4] = Pcc(Bytes(16));
       },
       "<Luts NumLuts=\"3\">" + PccText(Bytes(16, 0x1A)) + "</Luts>",
       {kAdding + "1, lut_size:16", kAdded, Unsupported(2), Unsupported(4)}},
      {1,
       [](DispLuts *l) { l->lut_slots[1] = Pcc(Bytes(16)); },
       "<Luts NumLuts=\"1\"/>",
       {Unsupported(1)}},
      {1,
       [](DispLuts *l) { l->lut_slots[0] = Wrapper(3, PccLut::Init(1)); },
       "<Luts NumLuts=\"1\"><Lut Type=\"3\"/></Luts>",
       {kNoData + "(3)."}},
      {1,
       [](DispLuts *l) { l->lut_slots[0] = Wrapper(0, nullptr); },
       "<Luts NumLuts=\"1\"><Lut Type=\"0\"/></Luts>",
       {kNoData + "(0)."}},
      {1,
       [](DispLuts *l) { l->lut_slots[0] = Pcc({}); },
       "<Luts NumLuts=\"1\"><Lut Type=\"0\" NumPackets=\"0\"/></Luts>",
       {kAdding + "0, lut_size:0", kNoData + "(0)."}},
      {1,
       [](DispLuts *l) { l->lut_slots[0] = Pcc(Bytes(16), 0); },
       "<Luts NumLuts=\"1\"><Lut Type=\"0\" NumPackets=\"0\"></Lut></Luts>",
       {kAdding + "0, lut_size:0", kAdded}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.section);
    Open("", true);
    SetUp();
    luts_->num_luts = c.num_luts;
    c.fill(luts_.get());
    EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->AddLuts(luts_.get()), 0); }), c.lines);
    EXPECT_EQ(Compact(Root()->LastChild()), c.section);
  }
}

TEST_F(LutWritingTest, FailedSlotZeroStopsTheSection) {
  Open("", true);
  luts_->num_luts = 2;
  // Packets whose hex text would not fit in 32 bits: the encoder refuses
  // them before reading any byte.
  luts_->lut_slots[0] = Pcc(Bytes(16), 0x4000000);
  luts_->lut_slots[1] = Pcc(Bytes(16));
  EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->AddLuts(luts_.get()), -22); }),
            Lines({kAdding + "67108864, lut_size:1073741824",
                   Error("AddLutInNode",
                         "Failed to convert uint8 payload to char "
                         "payload to write in XML."),
                   Error("AddLuts", "Failed to add LUT (0), idx (0)")}));
  EXPECT_EQ(Compact(Root()->LastChild()),
            "<Luts NumLuts=\"2\"><Lut Type=\"0\" NumPackets=\"67108864\"/>"
            "</Luts>");
}

TEST_F(LutWritingTest, ReplacesTheFirstSectionNotANodeReadingLuts) {
  Open("<!--Luts-->Luts<Luts NumLuts=\"1\">" + PccText(Bytes(16, 0x01)) +
           "</Luts><Luts NumLuts=\"7\"/>",
       true);
  luts_->num_luts = 1;
  luts_->lut_slots[0] = Pcc(Bytes(16, 0x02));
  ASSERT_EQ(db_->AddLuts(luts_.get()), 0);
  // A second section stays where it was.
  EXPECT_EQ(Compact(Root()),
            "<Calib_Data><!--Luts-->Luts<Luts NumLuts=\"7\"/><Luts "
            "NumLuts=\"1\">" +
                PccText(Bytes(16, 0x02)) + "</Luts></Calib_Data>");
}

TEST_F(LutWritingTest, AddLutInNodeReplacesTheFirstOfTheSameType) {
  const std::string pcc = PccText(Bytes(16, 0x33));
  const std::tuple<std::string, int, std::string> cases[] = {
      // Any element with a matching "Type" counts, whatever its name; one
      // without "Type" never matches. "NumLuts" is not raised again.
      {"<Luts NumLuts=\"4\"><!--c--><Lut Type=\"1\"/><Lut/><Foo Type=\"0\"/>" +
           pcc + "</Luts>",
       0,
       "<Luts NumLuts=\"3\"><!--c--><Lut Type=\"1\"/><Lut/>" + pcc + pcc +
           "</Luts>"},
      {"<Luts NumLuts=\"2\"><Lut Type=\"1\"/></Luts>", 0,
       "<Luts NumLuts=\"2\"><Lut Type=\"1\"/>" + pcc + "</Luts>"},
      {"<Luts><Lut Type=\"4\" X=\"1\"/></Luts>", 4,
       "<Luts><Lut Type=\"4\"/></Luts>"},
  };
  for (const auto &[before, type, after] : cases) {
    Open(before, true);
    tinyxml2::XMLElement *section = Root()->FirstChildElement("Luts");
    std::unique_ptr<DispLut<PccLut>> lut(type == 0 ? Pcc(Bytes(16, 0x33))
                                                   : Wrapper(type, nullptr));
    LogCapture quiet;
    EXPECT_EQ(db_->AddLutInNode(section, lut.get()), 0);
    EXPECT_EQ(Compact(section), after);
  }
}

}  // namespace
}  // namespace rimbolt_test
