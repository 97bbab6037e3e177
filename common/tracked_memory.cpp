#include "common/tracked_memory.h"

#include <cstdlib>

namespace common {

void* TrackedBlocks::Alloc(size_t size, TrackedHandle* handle) {
  *handle = 0;
  auto* block = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size + 10));
  if (!block) return nullptr;
  block->handle = reinterpret_cast<TrackedHandle>(block);
  BlockHeader** tail = &first_;
  while (*tail) tail = &(*tail)->next;
  *tail = block;
  *handle = block->handle;
  return block + 1;
}

void TrackedBlocks::Free(TrackedHandle* handle) {
  for (BlockHeader** link = &first_; *link; link = &(*link)->next) {
    if ((*link)->handle == *handle) {
      BlockHeader* block = *link;
      *link = block->next;
      std::free(block);
      break;
    }
  }
  *handle = 0;
}

size_t TrackedBlocks::Count() const {
  size_t n = 0;
  for (BlockHeader* b = first_; b; b = b->next) ++n;
  return n;
}

}  // namespace common
