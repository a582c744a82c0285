#include "inspect/base/crc32.h"

#include <zlib.h>

#include "inspect/base/text.h"

namespace inspect {

std::string Crc32Text(const uint8_t *bytes, size_t size) {
  // crc32_z takes a size_t length, so no payload is cut at 4 GiB.
  return Format("%08lx", crc32_z(0, bytes, size));
}

}  // namespace inspect
