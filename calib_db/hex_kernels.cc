#include "calib_db/hex_kernels.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#if defined(__ARM_NEON)
#include <arm_neon.h>
#endif

namespace tavo {
namespace hex_kernels {

namespace {

// Two digits per byte and one value per character, so that the scalar
// loops do a load per byte and no branch.
struct Tables {
  char pairs[256][2];
  uint8_t values[256];
};

constexpr Tables MakeTables() {
  Tables tables{};
  for (int b = 0; b < 256; ++b) {
    tables.pairs[b][0] = DigitChar(static_cast<uint8_t>(b >> 4));
    tables.pairs[b][1] = DigitChar(static_cast<uint8_t>(b & 0x0f));
    tables.values[b] = DigitValue(static_cast<char>(b));
  }
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

void EncodeScalar(const uint8_t *bytes, size_t count, char *text) {
  for (size_t k = 0; k < count; ++k) {
    memcpy(text + 2 * k, kTables.pairs[bytes[k]], 2);
  }
}

void DecodeScalar(const char *text, size_t count, uint8_t *bytes) {
  const uint8_t *values = kTables.values;
  const uint8_t *codes = reinterpret_cast<const uint8_t *>(text);
  for (size_t k = 0; k < count; ++k) {
    bytes[k] = static_cast<uint8_t>((values[codes[2 * k]] << 4) |
                                    values[codes[2 * k + 1]]);
  }
}

#if defined(__SSE2__)

namespace {

// Nibbles 0-15 to their digits: '0' plus the nibble, and 7 more from 10 on.
inline __m128i NibbleDigits(__m128i nibbles) {
  __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)),
                                  _mm_set1_epi8(7));
  return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
}

// Characters to digit values in the low four bits of each byte. Above '9'
// the code plus 57 keeps the same low four bits as the code plus 9, since 48
// is a multiple of 16.
inline __m128i CharValues(__m128i chars) {
  __m128i above_nine =
      _mm_cmpeq_epi8(_mm_max_epu8(chars, _mm_set1_epi8(58)), chars);
  __m128i shifted =
      _mm_add_epi8(chars, _mm_and_si128(above_nine, _mm_set1_epi8(9)));
  return _mm_and_si128(shifted, _mm_set1_epi8(0x0f));
}

// Sixteen digit values, in pairs, to eight bytes in the low half of each
// 16-bit lane. A lane holds high + (low << 8); times 0x1001 it also holds
// the high digit in its top four bits, so that shifting right by 8 leaves
// (high << 4) | low, and nothing above it.
inline __m128i PairBytes(__m128i values) {
  return _mm_srli_epi16(_mm_mullo_epi16(values, _mm_set1_epi16(0x1001)), 8);
}

}  // namespace

void EncodeSse2(const uint8_t *bytes, size_t count, char *text) {
  const __m128i low_nibble = _mm_set1_epi8(0x0f);
  size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + k));
    __m128i high =
        NibbleDigits(_mm_and_si128(_mm_srli_epi16(in, 4), low_nibble));
    __m128i low = NibbleDigits(_mm_and_si128(in, low_nibble));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(text + 2 * k),
                     _mm_unpacklo_epi8(high, low));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(text + 2 * k + 16),
                     _mm_unpackhi_epi8(high, low));
  }
  EncodeScalar(bytes + k, count - k, text + 2 * k);
}

// Thirty-two characters to sixteen bytes.
inline void DecodeBlockSse2(const char *text, uint8_t *bytes) {
  __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text));
  __m128i second =
      _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + 16));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(bytes),
                   _mm_packus_epi16(PairBytes(CharValues(first)),
                                    PairBytes(CharValues(second))));
}

void DecodeSse2(const char *text, size_t count, uint8_t *bytes) {
  size_t k = 0;
  // Two blocks a turn give the processor two independent chains.
  for (; k + 32 <= count; k += 32) {
    DecodeBlockSse2(text + 2 * k, bytes + k);
    DecodeBlockSse2(text + 2 * k + 32, bytes + k + 16);
  }
  for (; k + 16 <= count; k += 16) DecodeBlockSse2(text + 2 * k, bytes + k);
  DecodeScalar(text + 2 * k, count - k, bytes + k);
}

#endif  // __SSE2__

#if defined(__x86_64__)

bool HasAvx2() {
  static const bool kHasAvx2 = __builtin_cpu_supports("avx2");
  return kHasAvx2;
}

namespace {

// As NibbleDigits, on thirty-two nibbles.
__attribute__((target("avx2"))) inline __m256i NibbleDigitsAvx2(
    __m256i nibbles) {
  __m256i letters = _mm256_and_si256(
      _mm256_cmpgt_epi8(nibbles, _mm256_set1_epi8(9)), _mm256_set1_epi8(7));
  return _mm256_add_epi8(_mm256_add_epi8(nibbles, _mm256_set1_epi8('0')),
                         letters);
}

// As CharValues, on thirty-two characters.
__attribute__((target("avx2"))) inline __m256i CharValuesAvx2(__m256i chars) {
  __m256i above_nine =
      _mm256_cmpeq_epi8(_mm256_max_epu8(chars, _mm256_set1_epi8(58)), chars);
  __m256i shifted = _mm256_add_epi8(
      chars, _mm256_and_si256(above_nine, _mm256_set1_epi8(9)));
  return _mm256_and_si256(shifted, _mm256_set1_epi8(0x0f));
}

}  // namespace

__attribute__((target("avx2"))) void EncodeAvx2(const uint8_t *bytes,
                                                size_t count, char *text) {
  const __m256i low_nibble = _mm256_set1_epi8(0x0f);
  size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    __m256i in =
        _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes + k));
    __m256i high = NibbleDigitsAvx2(
        _mm256_and_si256(_mm256_srli_epi16(in, 4), low_nibble));
    __m256i low = NibbleDigitsAvx2(_mm256_and_si256(in, low_nibble));
    // Interleaving works within 128-bit lanes: quarters 0 and 2 hold the
    // first and the third eight bytes' digits, quarters 1 and 3 the others.
    __m256i first = _mm256_unpacklo_epi8(high, low);
    __m256i second = _mm256_unpackhi_epi8(high, low);
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(text + 2 * k),
                        _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(text + 2 * k + 32),
                        _mm256_permute2x128_si256(first, second, 0x31));
  }
  // Leaving the upper halves dirty would slow every SSE instruction that
  // follows, here and in the caller.
  _mm256_zeroupper();
  EncodeSse2(bytes + k, count - k, text + 2 * k);
}

__attribute__((target("avx2"))) void DecodeAvx2(const char *text,
                                                size_t count, uint8_t *bytes) {
  // Each pair of digit values becomes high * 16 + low in one multiply-add.
  const __m256i weights = _mm256_set1_epi16(0x0110);
  size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    __m256i first =
        _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + 2 * k));
    __m256i second = _mm256_loadu_si256(
        reinterpret_cast<const __m256i *>(text + 2 * k + 32));
    __m256i low_words =
        _mm256_maddubs_epi16(CharValuesAvx2(first), weights);
    __m256i high_words =
        _mm256_maddubs_epi16(CharValuesAvx2(second), weights);
    // Packing works within 128-bit lanes; the permute puts the four
    // quarters back in order.
    __m256i packed = _mm256_permute4x64_epi64(
        _mm256_packus_epi16(low_words, high_words), 0xd8);
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(bytes + k), packed);
  }
  _mm256_zeroupper();
  DecodeSse2(text + 2 * k, count - k, bytes + k);
}

#endif  // __x86_64__

#if defined(__ARM_NEON)

namespace {

inline uint8x16_t NibbleDigits(uint8x16_t nibbles) {
  uint8x16_t letters =
      vandq_u8(vcgtq_u8(nibbles, vdupq_n_u8(9)), vdupq_n_u8(7));
  return vaddq_u8(vaddq_u8(nibbles, vdupq_n_u8('0')), letters);
}

// Characters to digit values in the low four bits of each byte, with junk
// above them: past '9', adding 9 keeps the low bits of adding 57.
inline uint8x16_t CharValues(uint8x16_t chars) {
  uint8x16_t above_nine = vcgtq_u8(chars, vdupq_n_u8(57));
  return vaddq_u8(chars, vandq_u8(above_nine, vdupq_n_u8(9)));
}

}  // namespace

void EncodeNeon(const uint8_t *bytes, size_t count, char *text) {
  size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    uint8x16_t in = vld1q_u8(bytes + k);
    uint8x16x2_t digits;
    digits.val[0] = NibbleDigits(vshrq_n_u8(in, 4));
    digits.val[1] = NibbleDigits(vandq_u8(in, vdupq_n_u8(0x0f)));
    vst2q_u8(reinterpret_cast<uint8_t *>(text + 2 * k), digits);
  }
  EncodeScalar(bytes + k, count - k, text + 2 * k);
}

void DecodeNeon(const char *text, size_t count, uint8_t *bytes) {
  size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    uint8x16x2_t pairs =
        vld2q_u8(reinterpret_cast<const uint8_t *>(text + 2 * k));
    // Shift-and-insert keeps only the low four bits of both digits.
    uint8x16_t out =
        vsliq_n_u8(CharValues(pairs.val[1]), CharValues(pairs.val[0]), 4);
    vst1q_u8(bytes + k, out);
  }
  DecodeScalar(text + 2 * k, count - k, bytes + k);
}

#endif  // __ARM_NEON

}  // namespace hex_kernels
}  // namespace tavo
