// Memory for the payload texts of one document: megabytes of text that live
// exactly as long as the document, taken from large mappings so that fresh
// memory costs few page faults.
#ifndef CALIB_DB_TEXT_ARENA_H_
#define CALIB_DB_TEXT_ARENA_H_

#include <stddef.h>

#include <vector>

namespace tavo {

class TextArena {
 public:
  TextArena() = default;
  ~TextArena();
  TextArena(const TextArena &) = delete;
  TextArena &operator=(const TextArena &) = delete;

  // |size| bytes, valid until Clear() or destruction; null when no memory
  // can be had.
  char *Allocate(size_t size);
  // Releases every text. The first mapping is kept for the next document,
  // whose texts then reuse memory that is already there.
  void Clear();

 private:
  struct Chunk {
    char *base;
    size_t size;
  };

  bool AddChunk(size_t min_size);

  std::vector<Chunk> chunks_;
  size_t used_ = 0;  // bytes taken from the last chunk
};

}  // namespace tavo

#endif  // CALIB_DB_TEXT_ARENA_H_
