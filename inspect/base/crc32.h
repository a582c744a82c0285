// The CRC-32 that zlib, PNG and Ethernet use, to tell payloads apart at a
// glance and to compare them with the checksums of other tools.
#ifndef INSPECT_BASE_CRC32_H_
#define INSPECT_BASE_CRC32_H_

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace inspect {

// zlib's CRC-32 of the |size| bytes at |bytes| as 8 lower-case hexadecimal
// digits ("cbf43926" for "123456789"); |bytes| may be null when |size| is 0.
std::string Crc32Text(const uint8_t *bytes, size_t size);

}  // namespace inspect

#endif  // INSPECT_BASE_CRC32_H_
