#include "calib_db/mode_format.h"

#include <stdlib.h>
#include <string.h>
#include <tinyxml2.h>

namespace tavo {
namespace mode_format {

namespace {

constexpr const char *kDynamicRanges[] = {"hdr", "sdr"};
constexpr const char *kColorGamuts[] = {"srgb", "dcip3", "native",
                                        "display_p3"};
constexpr const char *kPictureQualities[] = {"standard", "amazon", "vivid",
                                             "sharp", "netflix"};

template <size_t N>
bool IsOneOf(const char *text, const char *const (&allowed)[N]) {
  for (const char *value : allowed) {
    if (strcmp(text, value) == 0) return true;
  }
  return false;
}

}  // namespace

bool IsAllowedDynamicRange(const char *text) {
  return IsOneOf(text, kDynamicRanges);
}

bool IsAllowedColorGamut(const char *text) {
  return IsOneOf(text, kColorGamuts);
}

bool IsAllowedPictureQuality(const char *text) {
  return IsOneOf(text, kPictureQualities);
}

unsigned WholeCharacterLength(const char *text, unsigned length) {
  // A character is at most four bytes: at most three continue it.
  unsigned end = length;
  while (end > 0 && length - end < 3 &&
         (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    --end;
  }
  return (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80 ? length : end;
}

int AttributeOrZero(const tinyxml2::XMLElement *element, const char *name) {
  const char *text = element->Attribute(name, nullptr);
  return text != nullptr ? atoi(text) : 0;
}

}  // namespace mode_format
}  // namespace tavo
