// The CRC-32 that zlib, PNG and Ethernet use, to tell payloads apart at a
// glance and to compare them with the checksums of other tools.
#ifndef INSPECT_BASE_CRC32_H_
#define INSPECT_BASE_CRC32_H_

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace inspect {

// The CRC-32 (reflected polynomial 0xEDB88320, all ones in and out) of the
// |size| bytes at |bytes|; |bytes| may be null when |size| is 0.
uint32_t Crc32(const uint8_t *bytes, size_t size);

// |crc| as 8 lower-case hexadecimal digits: "cbf43926".
std::string Crc32Text(uint32_t crc);

}  // namespace inspect

#endif  // INSPECT_BASE_CRC32_H_
