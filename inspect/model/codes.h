// The codes of check's findings: each with its severity, what the tool
// does where it is found and what normalize's rewrite makes of it. The
// README's table of codes is this list.
#ifndef INSPECT_MODEL_CODES_H_
#define INSPECT_MODEL_CODES_H_

#include <stddef.h>

namespace inspect {

// What normalize's rewrite, the tool's own output of the file, makes of
// what a finding points at. A code's entry is what it does where check
// no longer finds the same in the rewritten file (normalize decides
// kept from that file); where the code covers cases that fare
// differently, the worst of them: a finding is never called settled
// where it may have lost something.
enum class Rewrite {
  kLost,     // the output drops or changes what the file said
  kSettled,  // the output says what the tool read, in the writer's form
  kKept,     // the output still holds it: check finds it there again
  kRefused,  // the tool fails on the file, and nothing is written
};

struct Code {
  const char *name;
  bool is_error;  // the tool fails on the file
  Rewrite rewrite;
  const char *what;  // what the tool does, as the README's table says
};

extern const Code kCodes[];
extern const size_t kNumCodes;

// "lost", "settled", "kept" or "refused", as the README's table says.
const char *RewriteName(Rewrite rewrite);

// The entry of |name| in kCodes, or null.
const Code *FindCode(const char *name);

}  // namespace inspect

#endif  // INSPECT_MODEL_CODES_H_
