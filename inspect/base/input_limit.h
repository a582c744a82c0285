// The most rimbolt-inspect reads of one input, so that a device that never
// ends (/dev/zero) or a file given by mistake cannot fill the memory.
#ifndef INSPECT_BASE_INPUT_LIMIT_H_
#define INSPECT_BASE_INPUT_LIMIT_H_

#include <stdint.h>

namespace inspect {

// The most bytes read of one FILE, OLD, NEW, BIN or standard input: many
// times the largest calibration file met in practice (the benchmark's are
// 115 MB).
constexpr uint64_t kMaxInputBytes = uint64_t{1} << 30;

// Why an input past kMaxInputBytes is not read, as a reason after its name
// ("big.bin cannot be read: larger than ...").
constexpr char kTooLarge[] =
    "larger than 1 GiB, the most rimbolt-inspect reads";

}  // namespace inspect

#endif  // INSPECT_BASE_INPUT_LIMIT_H_
