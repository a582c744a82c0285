// Fast passes over the long runs of plain bytes that payloads are.
#ifndef INSPECT_BASE_BYTE_SPAN_H_
#define INSPECT_BASE_BYTE_SPAN_H_

#include <stddef.h>

namespace inspect {

// How many of the |count| bytes at |bytes|, from the first, |is| takes:
// the index of the first it does not, or |count|. |is| is asked of whole
// blocks without stopping early, which the compiler does in vector
// registers, so it must be a plain test of the byte, its parts joined by
// "&" and "|" rather than "&&" and "||", which would branch.
template <typename Predicate>
size_t LeadingRunLength(const unsigned char *bytes, size_t count,
                        Predicate is) {
  constexpr size_t kBlock = 64;
  size_t at = 0;
  while (count - at >= kBlock) {
    unsigned char all = 1;
    for (size_t i = 0; i < kBlock; ++i) all &= is(bytes[at + i]) ? 1 : 0;
    if (all == 0) break;
    at += kBlock;
  }
  while (at < count && is(bytes[at])) ++at;
  return at;
}

}  // namespace inspect

#endif  // INSPECT_BASE_BYTE_SPAN_H_
