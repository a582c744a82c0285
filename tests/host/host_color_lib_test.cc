#include <functional>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::DispMode;

class CombineModeTest : public testing::Test {
 protected:
  void SetUp() override {
    bool enable = false;
    combiner_.reset(tavo::GetCombineModeInterface(&enable));
    ASSERT_NE(combiner_, nullptr);
    EXPECT_TRUE(enable);
    modes_ = MakeModes(2);
    for (DispMode *mode : {qa(), factory()}) {
      mode->disp_id = 1;
      SetText(mode->color_gamut, "srgb");
      SetText(mode->dynamic_range, "sdr");
    }
    qa()->num_features = 9;
    qa()->features[0] = MakeFeature(0, {0xA0});
    qa()->features[5] = MakeFeature(5, {0xA5});
    factory()->features[0] = MakeFeature(0, {0xF0});
    factory()->features[2] = MakeFeature(2, {1, 2, 3}, true);
    factory()->features[29] = MakeFeature(29, {});
  }
  DispMode *qa() { return &modes_->modes[0]; }
  DispMode *factory() { return &modes_->modes[1]; }

  std::unique_ptr<tavo::CombineModeInterface> combiner_;
  std::unique_ptr<tavo::DispModes> modes_;
};

TEST_F(CombineModeTest, SameTargetTakesOverMissingFeatures) {
  SetText(qa()->picture_quality, "vivid");  // no part of the target
  const std::string factory_before = Describe(*factory());
  ASSERT_EQ(combiner_->CombineMode(qa(), factory()), 0);
  EXPECT_EQ(Describe(*qa()),
            "0 1 001 4 0 0 0 0 [sdr][srgb][vivid] 0 0:0=A0 "
            "2:2d=010203 5:5=A5 29:29=null");
  EXPECT_NE(qa()->features[2], factory()->features[2]);  // a copy
  EXPECT_EQ(Describe(*factory()), factory_before);
}

TEST_F(CombineModeTest, OtherTargetChangesNothing) {
  const std::function<void(DispMode *)> changes[] = {
      [](DispMode *m) { m->disp_id = 2; },
      [](DispMode *m) { SetText(m->color_gamut, "dcip3"); },
      [](DispMode *m) { SetText(m->dynamic_range, "SDR"); },
  };
  for (const auto &change : changes) {
    SetUp();
    change(factory());
    DispMode before;
    memcpy(&before, qa(), sizeof(before));
    EXPECT_EQ(combiner_->CombineMode(qa(), factory()), -22);
    EXPECT_EQ(memcmp(&before, qa(), sizeof(before)), 0);
  }
  EXPECT_EQ(combiner_->CombineMode(nullptr, factory()), -22);
  EXPECT_EQ(combiner_->CombineMode(qa(), nullptr), -22);
}

}  // namespace
}  // namespace rimbolt_test
