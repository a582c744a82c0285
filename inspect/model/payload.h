// The one payload that extract and inject work on, as the tool reads it:
// a feature of a mode, or a PCC LUT in its slot.
#ifndef INSPECT_MODEL_PAYLOAD_H_
#define INSPECT_MODEL_PAYLOAD_H_

#include <stddef.h>
#include <stdint.h>

#include <optional>
#include <string>

#include "inspect/model/calib_file.h"

namespace inspect {

// Where a payload is: a feature of a mode, or (|lut| given) a LUT slot.
struct PayloadAddress {
  int display = 0;
  int mode = 0;
  int feature = 0;
  std::optional<int> lut;
};

struct PayloadSelection {
  bool is_lut = false;
  // For a feature: the mode's index in the list the reader made, the
  // feature's type, the mode's NumOfFeatures as read and the number of
  // features the reader holds in it.
  int mode_index = -1;
  int type = -1;
  uint32_t num_features = 0;
  uint32_t features_held = 0;
  // For a LUT: its slot.
  int position = -1;
  // The payload the reader holds there; null (size 0) for a feature the
  // mode lacks, which alone is not |held|.
  const uint8_t *bytes = nullptr;
  size_t size = 0;
  bool held = false;
  // "feature 3 of mode 1 on display 0", "the PCC LUT in slot 0".
  std::string what;
};

// Finds in |file|, which the tool reads, the payload at |address|. A feature
// the mode lacks is selected, without bytes, only when |missing_feature_ok|.
// Of the modes with that display and ID, only those holding the feature
// count, or with |missing_feature_ok| those a Mode element stands behind
// (the blank modes that fill NumModes are left out while |file| has its
// document). Returns "" or why there is none: no such mode, two modes that
// count, no such feature, no PCC LUT in that slot.
std::string SelectPayload(const CalibFile &file, const PayloadAddress &address,
                          bool missing_feature_ok, PayloadSelection *selection);

// Whether the |a_size| bytes at |a| are the |b_size| bytes at |b|.
bool SameBytes(const uint8_t *a, size_t a_size, const uint8_t *b,
               size_t b_size);

// |size| bytes at |bytes| as the tool's writer puts a payload: two
// upper-case hex digits a byte, high digit first, on one line.
std::string HexText(const uint8_t *bytes, size_t size);

}  // namespace inspect

#endif  // INSPECT_MODEL_PAYLOAD_H_
