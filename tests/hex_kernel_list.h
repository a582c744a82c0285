// The hex codec's kernels that this build and this processor can run, listed
// once for the tests and the benchmarks.
#ifndef TESTS_HEX_KERNEL_LIST_H_
#define TESTS_HEX_KERNEL_LIST_H_

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "calib_db/hex_kernels.h"

namespace rimbolt_test {

struct HexKernel {
  const char *name;  // "Scalar", "Sse2", ...: benchmark names end with it
  void (*encode)(const uint8_t *, size_t, char *);
  void (*decode)(const char *, size_t, uint8_t *);
};

// The scalar kernels, the dispatched entry points, then each vector kernel
// the target has.
inline std::vector<HexKernel> AllHexKernels() {
  namespace hk = tavo::hex_kernels;
  std::vector<HexKernel> kernels = {
      {"Scalar", hk::EncodeScalar, hk::DecodeScalar},
      {"Dispatched", hk::Encode, hk::Decode}};
#if defined(__SSE2__)
  kernels.push_back({"Sse2", hk::EncodeSse2, hk::DecodeSse2});
#endif
#if defined(__x86_64__)
  if (hk::HasAvx2()) kernels.push_back({"Avx2", hk::EncodeAvx2, hk::DecodeAvx2});
#endif
#if defined(__ARM_NEON)
  kernels.push_back({"Neon", hk::EncodeNeon, hk::DecodeNeon});
#endif
  return kernels;
}

}  // namespace rimbolt_test

#endif  // TESTS_HEX_KERNEL_LIST_H_
