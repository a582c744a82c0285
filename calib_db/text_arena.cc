#include "calib_db/text_arena.h"

#include <sys/mman.h>

namespace tavo {

namespace {

// Large enough that a whole file's texts take a handful of mappings, and
// a multiple of the 2 MiB huge page.
constexpr size_t kChunkSize = 16u << 20;
constexpr size_t kAlignment = 16;

size_t RoundUp(size_t size, size_t unit) {
  return (size + unit - 1) / unit * unit;
}

}  // namespace

TextArena::~TextArena() {
  for (const Chunk &chunk : chunks_) munmap(chunk.base, chunk.size);
}

bool TextArena::AddChunk(size_t min_size) {
  size_t size = min_size > kChunkSize ? RoundUp(min_size, kChunkSize)
                                      : kChunkSize;
  void *base = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return false;
  // Where the system offers huge pages on request, a first touch then maps
  // 2 MiB at once. Without them this is a no-op.
  madvise(base, size, MADV_HUGEPAGE);
  chunks_.push_back({static_cast<char *>(base), size});
  used_ = 0;
  return true;
}

char *TextArena::Allocate(size_t size) {
  size = RoundUp(size, kAlignment);
  if (size == 0) size = kAlignment;
  if (chunks_.empty() || chunks_.back().size - used_ < size) {
    if (!AddChunk(size)) return nullptr;
  }
  char *text = chunks_.back().base + used_;
  used_ += size;
  return text;
}

void TextArena::Clear() {
  for (size_t i = 1; i < chunks_.size(); ++i) {
    munmap(chunks_[i].base, chunks_[i].size);
  }
  if (chunks_.size() > 1) chunks_.resize(1);
  used_ = 0;
}

}  // namespace tavo
