#include "common/tracked_memory.h"

#include <cstdlib>

namespace {

struct BlockHeader {
  BlockHeader* next;
  TrackedHandle handle;
};

BlockHeader* g_first = nullptr;

}  // namespace

void* TrackedAlloc(size_t size, TrackedHandle* handle) {
  *handle = 0;
  auto* block = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size + 10));
  if (!block) return nullptr;
  block->handle = reinterpret_cast<TrackedHandle>(block);
  BlockHeader** tail = &g_first;
  while (*tail) tail = &(*tail)->next;
  *tail = block;
  *handle = block->handle;
  return block + 1;
}

void TrackedFree(TrackedHandle* handle) {
  for (BlockHeader** link = &g_first; *link; link = &(*link)->next) {
    if ((*link)->handle == *handle) {
      BlockHeader* block = *link;
      *link = block->next;
      std::free(block);
      break;
    }
  }
  *handle = 0;
}

size_t TrackedCount() {
  size_t n = 0;
  for (BlockHeader* b = g_first; b; b = b->next) ++n;
  return n;
}
