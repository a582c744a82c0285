// Host implementation of the combine interface. Its rule is fixed so that
// runs on a development machine are predictable: a QA mode takes over the
// factory features it lacks when both describe the same display, gamut and
// dynamic range.
#include <string.h>

#include <new>

#include "color_lib/disp_mode.h"

namespace tavo {

namespace {

bool SameTarget(const DispMode &qa, const DispMode &factory) {
  return qa.disp_id == factory.disp_id &&
         strcmp(qa.color_gamut, factory.color_gamut) == 0 &&
         strcmp(qa.dynamic_range, factory.dynamic_range) == 0;
}

DispFeature *CopyFeature(const DispFeature &source) {
  DispFeature *copy = DispFeature::Init(
      source.type, static_cast<int>(source.size), source.disable);
  if (copy != nullptr && source.size > 0 && source.payload != nullptr) {
    memcpy(copy->payload, source.payload, source.size);
  }
  return copy;
}

class HostCombineMode : public CombineModeInterface {
 public:
  int CombineMode(DispMode *qa_mode, DispMode *factory_mode) override {
    if (qa_mode == nullptr || factory_mode == nullptr) return -22;
    if (!SameTarget(*qa_mode, *factory_mode)) return -22;
    // Copies are made before any slot is filled, so a failed copy leaves the
    // QA mode unchanged.
    DispFeature *copies[kMaxFeatures] = {};
    for (int slot = 0; slot < kMaxFeatures; ++slot) {
      if (qa_mode->features[slot] != nullptr ||
          factory_mode->features[slot] == nullptr) {
        continue;
      }
      copies[slot] = CopyFeature(*factory_mode->features[slot]);
      if (copies[slot] == nullptr) {
        for (DispFeature *copy : copies) delete copy;
        return -22;
      }
    }
    uint32_t held = 0;
    for (int slot = 0; slot < kMaxFeatures; ++slot) {
      if (copies[slot] != nullptr) qa_mode->features[slot] = copies[slot];
      if (qa_mode->features[slot] != nullptr) ++held;
    }
    qa_mode->num_features = held;
    qa_mode->is_merge = true;
    return 0;
  }
};

}  // namespace

CombineModeInterface *GetCombineModeInterface(bool *enable) {
  CombineModeInterface *interface = new (std::nothrow) HostCombineMode();
  if (interface != nullptr && enable != nullptr) *enable = true;
  return interface;
}

}  // namespace tavo
