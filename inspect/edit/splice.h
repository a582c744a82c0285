// A file's bytes with one payload element set anew and everything else in
// them (unread attributes, comments, white space, other sections) kept as
// it was, byte for byte.
#ifndef INSPECT_EDIT_SPLICE_H_
#define INSPECT_EDIT_SPLICE_H_

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "inspect/model/payload.h"

namespace inspect {

struct Splice {
  std::string bytes;  // the whole new file
  // Whether a Feature element was added, and the mode's NumOfFeatures then.
  bool added = false;
  uint32_t num_features = 0;
  // Whether the payload already held the bytes, and the file was kept whole.
  bool unchanged = false;
};

// Sets the payload that |selection| (from SelectPayload on the file whose
// bytes are |bytes|) names to the |size| bytes at |payload|, in the element
// the tool's reader takes it from: its text becomes the payload's hex
// digits on one line and its DataSize (NumPackets, for a LUT: |size| / 16,
// which the caller keeps whole) the new size, the rest of the element as
// it was. Where the payload already holds those bytes, the file is kept
// whole and |unchanged| set. A feature the mode lacks is added as the
// writer puts one (FeatureType, Disable="false", DataSize, payload), before
// the mode's first feature of a higher type or after its last, indented as
// they are, and the mode's NumOfFeatures raised by one, its written form
// (blanks, padding zeros) kept. Returns "" and fills |splice|, or the
// problem: the element is not in the file (a mode that NumModes counts but
// no Mode element holds), NumOfFeatures would reach the limit, or the
// markup is not read here as tinyxml2 reads it. |bytes| is taken, not
// copied: the caller moves the file's bytes in.
std::string SplicePayload(std::string bytes, const PayloadSelection &selection,
                          const uint8_t *payload, size_t size, Splice *splice);

}  // namespace inspect

#endif  // INSPECT_EDIT_SPLICE_H_
