#include "inspect/base/crc32.h"

#include "inspect/base/text.h"

namespace inspect {

namespace {

struct Table {
  uint32_t entries[256];
  Table() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i;
      for (int bit = 0; bit < 8; ++bit) {
        value = (value & 1) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
      }
      entries[i] = value;
    }
  }
};

}  // namespace

uint32_t Crc32(const uint8_t *bytes, size_t size) {
  static const Table table;
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc = table.entries[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

std::string Crc32Text(uint32_t crc) {
  return Format("%08x", static_cast<unsigned>(crc));
}

}  // namespace inspect
