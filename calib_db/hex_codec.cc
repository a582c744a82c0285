// Byte payloads as hexadecimal text: two upper-case digits a byte, high
// digit first.
#include <stdlib.h>

#include "calib_db/xml_database_test.h"

namespace tavo {

namespace {

// Payload counts stay below this so that 2 * count + 1 fits in 32 bits.
constexpr uint32_t kMaxCodecCount = 0x7fffffffu;

inline char DigitChar(uint8_t value) {
  return static_cast<char>(value < 10 ? 48 + value : 55 + value);
}

// Every character code has a digit value: '0'-'9', 'A'-'F' and 'a'-'f' give
// their value; any other code gives some value from 0 to 15, never an error.
inline uint8_t DigitValue(char c) {
  uint8_t code = static_cast<uint8_t>(c);
  return code <= 57 ? (code & 0x0f) : ((code + 57) & 0x0f);
}

}  // namespace

tinyxml2::XMLText *XmlDatabaseTest::ConvertUINT8ArrayToCharArray(
    const uint8_t *bytes, uint32_t count) {
  if (count > kMaxCodecCount / 2 || (count > 0 && bytes == nullptr)) {
    return nullptr;
  }
  uint32_t length = 2 * count;
  char *text = static_cast<char *>(calloc(length + 1, 1));
  if (text == nullptr) return nullptr;
  for (uint32_t k = 0; k < count; ++k) {
    text[2 * k] = DigitChar(bytes[k] >> 4);
    text[2 * k + 1] = DigitChar(bytes[k] & 0x0f);
  }
  text[length] = '\0';
  tinyxml2::XMLText *node = xml_doc_->NewText(text);
  free(text);
  return node;
}

void XmlDatabaseTest::ConvertCharArrayToUINT8Array(const char *text,
                                                   uint8_t *bytes,
                                                   uint32_t count) {
  if (text == nullptr || count == 0) return;
  // A text shorter than 2 * count ends the decoding at its NUL: the bytes it
  // does not reach keep what they held, and nothing past the text is read.
  for (uint32_t k = 0; k < count; ++k) {
    char high = text[2 * k];
    if (high == '\0') return;
    char low = text[2 * k + 1];
    bytes[k] = static_cast<uint8_t>((DigitValue(high) << 4) | DigitValue(low));
    if (low == '\0') return;
  }
}

}  // namespace tavo
