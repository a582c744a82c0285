// What differs between two files as the tool reads them: the one
// comparison behind diff and behind inject's check of what it wrote.
#ifndef INSPECT_MODEL_COMPARE_H_
#define INSPECT_MODEL_COMPARE_H_

#include <stdint.h>

#include <string>
#include <vector>

#include "inspect/model/calib_file.h"
#include "inspect/model/selection.h"

namespace inspect {

// A value that differs, as the writer puts it.
struct AttributeChange {
  const char *name;
  std::string old_text;
  std::string new_text;
};

// A payload on either side; |size| is -1 where there is none.
struct Payload {
  int64_t size = -1;
  const uint8_t *bytes = nullptr;
};

// The payload of |feature|, or none where it is null.
Payload FeaturePayload(const tavo::DispFeature *feature);

// The PCC LUT in slot |position| of |file|, or none.
Payload LutPayload(const CalibFile &file, int position);

// A byte that differs; -1 for the side that has no byte there.
struct ByteChange {
  int64_t offset;
  int old_byte;
  int new_byte;
};

// One feature (|slot| its type) or LUT slot that differs: "added",
// "removed" or "changed". |first| is -1 when the bytes agree; |listed|
// holds the first differing bytes, as many as were asked for.
struct SlotChange {
  int64_t slot;
  const char *change;
  Payload old_side;
  Payload new_side;
  int64_t differing = 0;
  int64_t first = -1;
  bool old_disable = false;
  bool new_disable = false;
  std::vector<ByteChange> listed = {};
};

// A mode that differs: "added", "removed" or "changed", with the
// attributes and features that differ.
struct ModeChange {
  const tavo::DispMode *mode;
  const char *change;
  std::vector<AttributeChange> attributes;
  std::vector<SlotChange> features;
};

struct Differences {
  std::vector<AttributeChange> file;  // DefaultMode, NumLuts
  std::vector<ModeChange> modes;
  std::vector<SlotChange> luts;
  bool empty() const { return file.empty() && modes.empty() && luts.empty(); }
};

// What differs between |old_file| and |new_file|, both read by the tool:
// old modes in their order, each matched with the first new mode of the
// same display and ID not matched yet, then the new modes left over; the
// attributes the reader reads, as the writer puts them (not under a
// feature filter, which asks for features alone), and the features' bytes
// and Disable. Only what |selection| selects is compared: under a filter
// DefaultMode, NumLuts and the LUTs (which belong to no mode) are not.
// Lists the first |bytes_to_list| differing bytes of each changed payload.
Differences Compare(const CalibFile &old_file, const CalibFile &new_file,
                    const Selection &selection, int64_t bytes_to_list);

}  // namespace inspect

#endif  // INSPECT_MODEL_COMPARE_H_
