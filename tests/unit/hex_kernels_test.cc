// Every hex kernel this machine can run, and the codec built on them,
// against the per-byte rules: all 256 character codes, random buffers of odd
// lengths at odd offsets, and texts that end before 2 * count characters.
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <random>
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calib_db/hex_kernels.h"
#include "tests/hex_kernel_list.h"
#include "calib_db/xml_database_test.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

namespace hk = tavo::hex_kernels;
using Bytes = std::vector<uint8_t>;

// The per-byte rules, written out independently of the kernels.
uint8_t RuleValue(uint8_t code) {
  return code <= 57 ? code & 0x0f : (code + 57) & 0x0f;
}

// Decodes the first 2 * count characters of |text|, which holds them all.
Bytes RuleDecode(const std::string &text, size_t count) {
  Bytes bytes(count);
  for (size_t k = 0; k < count; ++k) {
    bytes[k] = static_cast<uint8_t>(
        (RuleValue(static_cast<uint8_t>(text[2 * k])) << 4) |
        RuleValue(static_cast<uint8_t>(text[2 * k + 1])));
  }
  return bytes;
}

// Memory that ends right before an inaccessible page: reading or writing
// one byte past the end faults, in any build.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size) {
    page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    span_ = (size + page_ - 1) / page_ * page_ + page_;
    void *map = mmap(nullptr, span_, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return;
    base_ = static_cast<char *>(map);
    if (mprotect(base_ + span_ - page_, page_, PROT_NONE) != 0) return;
    data_ = base_ + span_ - page_ - size;
  }
  ~GuardedBuffer() {
    if (base_ != nullptr) munmap(base_, span_);
  }
  GuardedBuffer(const GuardedBuffer &) = delete;
  GuardedBuffer &operator=(const GuardedBuffer &) = delete;
  char *data() const { return data_; }

 private:
  size_t page_ = 0;
  size_t span_ = 0;
  char *base_ = nullptr;
  char *data_ = nullptr;
};

Bytes RandomBytes(std::mt19937 *random, size_t count) {
  Bytes bytes(count);
  for (uint8_t &byte : bytes) byte = static_cast<uint8_t>((*random)());
  return bytes;
}

// Random text mostly of digits in both cases, with any other code mixed in:
// NUL too, unless the text goes to the codec, for which a NUL ends it.
std::string RandomText(std::mt19937 *random, size_t length,
                       bool with_nul = true) {
  static const char kDigits[] = "0123456789ABCDEFabcdef";
  std::string text(length, '0');
  for (char &c : text) {
    uint32_t pick = (*random)();
    c = pick % 4 == 0 ? static_cast<char>(pick >> 8)
                      : kDigits[(pick >> 8) % (sizeof(kDigits) - 1)];
    if (c == '\0' && !with_nul) c = '\x01';
  }
  return text;
}

// The target's vector kernels are among those checked, not only the scalar
// fallback.
TEST(HexKernelsTest, ChecksTheTargetsVectorKernels) {
  std::vector<std::string> names;
  for (const HexKernel &kernel : AllHexKernels()) names.push_back(kernel.name);
#if defined(__aarch64__)
  EXPECT_NE(std::find(names.begin(), names.end(), "Neon"), names.end());
#elif defined(__x86_64__)
  EXPECT_NE(std::find(names.begin(), names.end(), "Sse2"), names.end());
#endif
  EXPECT_GE(names.size(), 3u);
}

TEST(HexKernelsTest, RuleMatchesTheDocumentedDigits) {
  // Anchors the reference rule itself before it judges the kernels.
  EXPECT_EQ(RuleValue('0'), 0);
  EXPECT_EQ(RuleValue('9'), 9);
  EXPECT_EQ(RuleValue('A'), 10);
  EXPECT_EQ(RuleValue('f'), 15);
  EXPECT_EQ(RuleValue('G'), 0);
  EXPECT_EQ(RuleValue('g'), 0);
  EXPECT_EQ(RuleValue(' '), 0);
  EXPECT_EQ(RuleValue('\0'), 0);
  EXPECT_EQ(RuleValue('\t'), 9);
  EXPECT_EQ(RuleValue('\n'), 10);
  EXPECT_EQ(Hex({0x00, 0x1F, 0xA0, 0xFF}), "001FA0FF");
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(hk::DigitValue(static_cast<char>(code)),
              RuleValue(static_cast<uint8_t>(code)))
        << "code " << code;
  }
}

TEST(HexKernelsTest, DecodeEveryPairOfCodes) {
  // All 65536 pairs, so that every code is tried as high and as low digit
  // in every lane of a block.
  std::string text;
  for (int high = 0; high < 256; ++high) {
    for (int low = 0; low < 256; ++low) {
      text += static_cast<char>(high);
      text += static_cast<char>(low);
    }
  }
  const Bytes expected = RuleDecode(text, text.size() / 2);
  for (const HexKernel &kernel : AllHexKernels()) {
    SCOPED_TRACE(kernel.name);
    Bytes bytes(expected.size(), 0xEE);
    kernel.decode(text.data(), bytes.size(), bytes.data());
    EXPECT_EQ(bytes, expected);
    // Shifted by one character, each pair straddles differently.
    const Bytes shifted = RuleDecode(text.substr(1), text.size() / 2 - 1);
    Bytes shifted_bytes(shifted.size(), 0xEE);
    kernel.decode(text.data() + 1, shifted.size(), shifted_bytes.data());
    EXPECT_EQ(shifted_bytes, shifted);
  }
}

TEST(HexKernelsTest, EncodeEveryByteValue) {
  Bytes all(256 * 3);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
  const std::string expected = Hex(all);
  for (const HexKernel &kernel : AllHexKernels()) {
    SCOPED_TRACE(kernel.name);
    std::string text(expected.size(), '?');
    kernel.encode(all.data(), all.size(), &text[0]);
    EXPECT_EQ(text, expected);
  }
}

TEST(HexKernelsTest, RandomOddLengthsAtOddOffsetsStayInBounds) {
  std::mt19937 random(20240611);
  std::vector<size_t> counts;
  for (size_t count = 0; count <= 70; ++count) counts.push_back(count);
  for (size_t count : {127, 255, 1001, 4093, 65537}) counts.push_back(count);
  for (const HexKernel &kernel : AllHexKernels()) {
    SCOPED_TRACE(kernel.name);
    for (size_t count : counts) {
      SCOPED_TRACE("count " + std::to_string(count));
      size_t offset = count % 3;
      // Input that ends at a guard page: a kernel reading past its 2 * count
      // characters or count bytes faults.
      const Bytes bytes = RandomBytes(&random, count);
      GuardedBuffer byte_input(count + offset);
      ASSERT_NE(byte_input.data(), nullptr);
      if (count > 0) memcpy(byte_input.data() + offset, bytes.data(), count);
      const std::string text = RandomText(&random, 2 * count);
      GuardedBuffer text_input(2 * count);
      ASSERT_NE(text_input.data(), nullptr);
      if (count > 0) memcpy(text_input.data(), text.data(), 2 * count);

      // Output with a canary on each side.
      std::string encoded(2 * count + offset + 2, '#');
      kernel.encode(reinterpret_cast<const uint8_t *>(byte_input.data()) +
                        offset,
                    count, &encoded[offset + 1]);
      EXPECT_EQ(encoded.substr(offset + 1, 2 * count), Hex(bytes));
      EXPECT_EQ(encoded[offset], '#');
      EXPECT_EQ(encoded.back(), '#');

      Bytes decoded(count + offset + 2, 0xEE);
      kernel.decode(text_input.data(), count, decoded.data() + offset + 1);
      EXPECT_EQ(Bytes(decoded.begin() + offset + 1, decoded.end() - 1),
                RuleDecode(text, count));
      EXPECT_EQ(decoded[offset], 0xEE);
      EXPECT_EQ(decoded.back(), 0xEE);
    }
  }
}

// The decoder of the database, through which every payload is read.
void Decode(const char *text, uint8_t *bytes, uint32_t count) {
  tavo::XmlDatabaseTest::ConvertCharArrayToUINT8Array(text, bytes, count);
}

// Text lengths from 2 * count - 70 to 2 * count, and around every power of
// two below, where a decoder working in blocks or stretches changes step.
std::vector<size_t> LengthsToTry(uint32_t count) {
  std::vector<size_t> lengths;
  const size_t full = 2 * static_cast<size_t>(count);
  for (size_t length = full > 70 ? full - 70 : 0; length <= full; ++length) {
    lengths.push_back(length);
  }
  for (size_t edge = 64; edge + 40 < full; edge *= 2) {
    for (size_t length = edge - 35; length <= edge + 35; ++length) {
      lengths.push_back(length);
    }
  }
  return lengths;
}

TEST(HexCodecDecodeTest, ShortTextsStopAtTheirEndWhereverItFalls) {
  std::mt19937 random(77);
  for (uint32_t count : {1u, 2u, 15u, 16u, 17u, 31u, 32u, 33u, 100u, 1999u,
                         40000u}) {
    const std::string full = RandomText(&random, 2 * count, false);
    for (size_t length : LengthsToTry(count)) {
      SCOPED_TRACE("count " + std::to_string(count) + ", text length " +
                   std::to_string(length));
      // The NUL is the last readable byte.
      GuardedBuffer text(length + 1);
      ASSERT_NE(text.data(), nullptr);
      memcpy(text.data(), full.data(), length);
      text.data()[length] = '\0';

      Bytes expected(count, 0xEE);
      for (size_t k = 0; k < length / 2; ++k) {
        expected[k] = static_cast<uint8_t>(
            (RuleValue(static_cast<uint8_t>(full[2 * k])) << 4) |
            RuleValue(static_cast<uint8_t>(full[2 * k + 1])));
      }
      if (length % 2 == 1) {
        // A lone last digit is a high nibble with a low nibble of 0.
        expected[length / 2] = static_cast<uint8_t>(
            RuleValue(static_cast<uint8_t>(full[length - 1])) << 4);
      }
      Bytes bytes(count, 0xEE);
      Decode(text.data(), bytes.data(), count);
      ASSERT_EQ(bytes, expected);
    }
  }
}

TEST(HexCodecDecodeTest, LongerTextsAreReadOnlyForTheirCount) {
  std::mt19937 random(5);
  for (uint32_t count : {1u, 17u, 333u, 122023u}) {
    const std::string text = RandomText(&random, 2 * count + 9, false);
    Bytes bytes(count + 1, 0xEE);
    Decode(text.c_str(), bytes.data(), count);
    Bytes expected = RuleDecode(text, count);
    expected.push_back(0xEE);
    EXPECT_EQ(bytes, expected) << "count " << count;
  }
}

TEST(HexCodecEncodeTest, NodesHoldTheRuleTextForOddSizes) {
  TempDir dir;
  tavo::XmlDatabaseTest db(tavo::kFileTypeFactory,
                           dir.File("doc.xml").c_str());
  ASSERT_EQ(db.EditFile(), 0);
  std::mt19937 random(99);
  for (uint32_t count : {1u, 15u, 16u, 17u, 255u, 4097u, tavo::kMaxPayloadSize,
                         16 * tavo::kMaxPayloadSize}) {
    const Bytes bytes = RandomBytes(&random, count);
    tinyxml2::XMLText *node =
        db.ConvertUINT8ArrayToCharArray(bytes.data(), count);
    ASSERT_NE(node, nullptr);
    const std::string text = node->Value();
    EXPECT_EQ(text, Hex(bytes)) << "count " << count;
    // And back: the decoder gives the same bytes for the encoder's text.
    Bytes decoded(count, 0xEE);
    Decode(text.c_str(), decoded.data(), count);
    EXPECT_EQ(decoded, bytes) << "count " << count;
    node->GetDocument()->DeleteNode(node);
  }
}

}  // namespace
}  // namespace rimbolt_test
