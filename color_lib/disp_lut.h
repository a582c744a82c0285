// LUT records of the display colour library libtavo-color.
#ifndef COLOR_LIB_DISP_LUT_H_
#define COLOR_LIB_DISP_LUT_H_

#include <stdint.h>

namespace tavo {

constexpr int kMaxLuts = 5;
constexpr uint32_t kPccPacketSize = 16;

struct PccLut {
  uint32_t num_packets;
  uint8_t *packets;  // num_packets * kPccPacketSize bytes

  // A new LUT with a packet buffer of |num_packets| packets, or null.
  static PccLut *Init(int num_packets);
  ~PccLut();
};

// Common part of every LUT wrapper, so that a set can release wrappers of
// any kind.
struct DispLutBase {
  int32_t type = 0;  // 0 is PCC
  virtual ~DispLutBase() {}
};

template <typename T>
struct DispLut : public DispLutBase {
  T *lut = nullptr;
  bool owns_lut = false;

  ~DispLut() override {
    if (owns_lut && lut != nullptr) {
      delete lut;
    }
  }
};

struct DispLuts {
  uint32_t num_luts;
  DispLutBase *lut_slots[kMaxLuts];

  // A new, empty set, or null.
  static DispLuts *Init();
  // Releases the wrapper in every slot.
  ~DispLuts();
};

}  // namespace tavo

#endif  // COLOR_LIB_DISP_LUT_H_
