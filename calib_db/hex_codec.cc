// Byte payloads as hexadecimal text: two upper-case digits a byte, high
// digit first. The loops themselves are in hex_kernels.
#include <string.h>

#include "calib_db/hex_kernels.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace {

// Payload counts stay below this so that 2 * count + 1 fits in 32 bits.
constexpr uint32_t kMaxCodecCount = 0x7fffffffu;

}  // namespace

tinyxml2::XMLText *XmlDatabaseTest::ConvertUINT8ArrayToCharArray(
    const uint8_t *bytes, uint32_t count) {
  if (xml_doc_ == nullptr) return nullptr;
  if (count > kMaxCodecCount / 2 || (count > 0 && bytes == nullptr)) {
    return nullptr;
  }
  uint32_t length = 2 * count;
  char *text = payload_texts_.Allocate(length + 1);
  if (text == nullptr) return nullptr;
  hex_kernels::Encode(bytes, count, text);
  text[length] = '\0';
  tinyxml2::XMLText *node = xml_doc_->NewText("");
  if (node == nullptr) return nullptr;
  // Payload texts run to megabytes: the node points to the text instead of
  // copying it, and the text lives as long as the document.
  node->SetValue(text, true);
  return node;
}

void XmlDatabaseTest::ConvertCharArrayToUINT8Array(const char *text,
                                                   uint8_t *bytes,
                                                   uint32_t count) {
  if (text == nullptr || count == 0) return;
  // A text shorter than 2 * count ends the decoding at its NUL: the bytes it
  // does not reach keep what they held. The kernels read whole blocks, so
  // the length is found first and nothing past the NUL is ever read.
  size_t length = strnlen(text, 2 * static_cast<size_t>(count));
  hex_kernels::Decode(text, length / 2, bytes);
  if (length % 2 == 1) {
    // A lone last digit is a high nibble; the NUL after it gives 0.
    bytes[length / 2] = static_cast<uint8_t>(
        hex_kernels::DigitValue(text[length - 1]) << 4);
  }
}

}  // namespace tavo
