// The codec's edges; the per-byte rules are checked with the hex kernels.
#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::XmlDatabaseTest;

class HexCodecTest : public DbTest {};

TEST_F(HexCodecTest, NoOpenDocumentGivesNoText) {
  XmlDatabaseTest closed(tavo::kFileTypeQa, path_.c_str());
  const uint8_t byte = 0x12;
  EXPECT_EQ(closed.ConvertUINT8ArrayToCharArray(&byte, 1), nullptr);
}

TEST_F(HexCodecTest, EmptyAndPlainPayloads) {
  Open("", true);
  const Bytes sample = {0x00, 0x1F, 0xA0, 0xFF};
  EXPECT_STREQ(db_->ConvertUINT8ArrayToCharArray(sample.data(), 4)->Value(),
               "001FA0FF");
  // No byte is read for an empty payload, and its text is empty, not absent.
  EXPECT_STREQ(db_->ConvertUINT8ArrayToCharArray(nullptr, 0)->Value(), "");

  Bytes bytes(4, 0xEE);
  XmlDatabaseTest::ConvertCharArrayToUINT8Array(nullptr, bytes.data(), 4);
  XmlDatabaseTest::ConvertCharArrayToUINT8Array("12", bytes.data(), 0);
  EXPECT_EQ(bytes, Bytes(4, 0xEE));
  XmlDatabaseTest::ConvertCharArrayToUINT8Array("001fa0ffGG", bytes.data(), 4);
  EXPECT_EQ(bytes, sample);
  // Blanks take digit places: space 0, tab 9, line feed 10.
  XmlDatabaseTest::ConvertCharArrayToUINT8Array(" \t\n0", bytes.data(), 2);
  EXPECT_EQ(bytes, Bytes({0x09, 0xA0, 0xA0, 0xFF}));
}

}  // namespace
}  // namespace rimbolt_test
