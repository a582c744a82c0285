// Host implementation of the colour library's records: every new record is
// zeroed, and destructors release exactly what the records own.
#include <stddef.h>

#include <new>

#include "color_lib/disp_lut.h"
#include "color_lib/disp_mode.h"

namespace tavo {

namespace {

constexpr int kMaxModes = 1024;

// Zero-filled buffer of |size| bytes; null for 0 bytes or on failure.
uint8_t *NewZeroedBuffer(size_t size) {
  if (size == 0) return nullptr;
  return new (std::nothrow) uint8_t[size]();
}

}  // namespace

DispFeature *DispFeature::Init(unsigned type, int size, bool disable) {
  if (size < 0) return nullptr;
  DispFeature *feature = new (std::nothrow) DispFeature();
  if (feature == nullptr) return nullptr;
  feature->type = type;
  feature->size = static_cast<uint32_t>(size);
  feature->disable = disable;
  feature->payload = NewZeroedBuffer(static_cast<size_t>(size));
  if (size > 0 && feature->payload == nullptr) {
    delete feature;
    return nullptr;
  }
  return feature;
}

DispFeature::~DispFeature() { delete[] payload; }

DispModes *DispModes::Init(ModeType /*type*/, int default_mode,
                           int num_modes) {
  if (num_modes < 0 || num_modes > kMaxModes) return nullptr;
  DispModes *list = new (std::nothrow) DispModes();
  if (list == nullptr) return nullptr;
  list->default_mode = default_mode;
  list->num_modes = static_cast<uint32_t>(num_modes);
  if (num_modes > 0) {
    list->modes = new (std::nothrow) DispMode[num_modes]();
    if (list->modes == nullptr) {
      delete list;
      return nullptr;
    }
  }
  return list;
}

DispModes::~DispModes() {
  if (modes == nullptr) return;
  for (uint32_t i = 0; i < num_modes; ++i) {
    for (DispFeature *&feature : modes[i].features) {
      delete feature;
      feature = nullptr;
    }
  }
  delete[] modes;
  modes = nullptr;
}

PccLut *PccLut::Init(int num_packets) {
  if (num_packets < 0) return nullptr;
  PccLut *lut = new (std::nothrow) PccLut();
  if (lut == nullptr) return nullptr;
  lut->num_packets = static_cast<uint32_t>(num_packets);
  size_t size = static_cast<size_t>(num_packets) * kPccPacketSize;
  lut->packets = NewZeroedBuffer(size);
  if (size > 0 && lut->packets == nullptr) {
    delete lut;
    return nullptr;
  }
  return lut;
}

PccLut::~PccLut() { delete[] packets; }

DispLuts *DispLuts::Init() { return new (std::nothrow) DispLuts(); }

DispLuts::~DispLuts() {
  for (DispLutBase *&slot : lut_slots) {
    delete slot;
    slot = nullptr;
  }
}

}  // namespace tavo
