// The loops of the hex payload codec, one per instruction set. Internal to
// the calibration database; declared here so that every kernel a machine can
// run is tested and measured on its own.
#ifndef CALIB_DB_HEX_KERNELS_H_
#define CALIB_DB_HEX_KERNELS_H_

#include <stddef.h>
#include <stdint.h>

namespace tavo {
namespace hex_kernels {

// The value of one text character: its low four bits up to '9', and for
// every higher code those of the code plus 57, so that 'A'-'F' and 'a'-'f'
// give 10 to 15. Never an error.
constexpr uint8_t DigitValue(char c) {
  uint8_t code = static_cast<uint8_t>(c);
  return static_cast<uint8_t>(code <= 57 ? (code & 0x0f)
                                         : ((code + 57) & 0x0f));
}

// The character for a nibble: '0'-'9', then 'A'-'F'.
constexpr char DigitChar(uint8_t nibble) {
  return static_cast<char>(nibble < 10 ? 48 + nibble : 55 + nibble);
}

// Encode kernels write the 2 * count digits of |bytes| to |text|, high
// nibble first, and no NUL. Decode kernels read exactly the 2 * count
// characters at |text|, whatever they are, into |count| bytes.
void EncodeScalar(const uint8_t *bytes, size_t count, char *text);
void DecodeScalar(const char *text, size_t count, uint8_t *bytes);
#if defined(__SSE2__)
void EncodeSse2(const uint8_t *bytes, size_t count, char *text);
void DecodeSse2(const char *text, size_t count, uint8_t *bytes);
#endif
#if defined(__x86_64__)
// AVX2 is not always there: Encode and Decode use it when the processor
// has it. Asked of the processor once.
bool HasAvx2();
void EncodeAvx2(const uint8_t *bytes, size_t count, char *text);
void DecodeAvx2(const char *text, size_t count, uint8_t *bytes);
#endif
#if defined(__ARM_NEON)
void EncodeNeon(const uint8_t *bytes, size_t count, char *text);
void DecodeNeon(const char *text, size_t count, uint8_t *bytes);
#endif

// The fastest kernels of this build.
inline void Encode(const uint8_t *bytes, size_t count, char *text) {
#if defined(__x86_64__)
  if (HasAvx2()) {
    EncodeAvx2(bytes, count, text);
  } else {
    EncodeSse2(bytes, count, text);
  }
#elif defined(__SSE2__)
  EncodeSse2(bytes, count, text);
#elif defined(__ARM_NEON)
  EncodeNeon(bytes, count, text);
#else
  EncodeScalar(bytes, count, text);
#endif
}

inline void Decode(const char *text, size_t count, uint8_t *bytes) {
#if defined(__x86_64__)
  if (HasAvx2()) {
    DecodeAvx2(text, count, bytes);
  } else {
    DecodeSse2(text, count, bytes);
  }
#elif defined(__SSE2__)
  DecodeSse2(text, count, bytes);
#elif defined(__ARM_NEON)
  DecodeNeon(text, count, bytes);
#else
  DecodeScalar(text, count, bytes);
#endif
}

}  // namespace hex_kernels
}  // namespace tavo

#endif  // CALIB_DB_HEX_KERNELS_H_
