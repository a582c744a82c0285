// The codes of check's findings: each with its severity and what the tool
// does where it is found. The README's table of codes is this list.
#ifndef INSPECT_CODES_H_
#define INSPECT_CODES_H_

#include <stddef.h>

namespace inspect {

struct Code {
  const char *name;
  bool is_error;     // the tool fails on the file
  const char *what;  // what the tool does, as the README's table says
};

extern const Code kCodes[];
extern const size_t kNumCodes;

// The entry of |name| in kCodes, or null.
const Code *FindCode(const char *name);

}  // namespace inspect

#endif  // INSPECT_CODES_H_
