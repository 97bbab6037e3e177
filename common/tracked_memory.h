// Zero-filled memory blocks kept in their owner's list (the message text
// pool). Blocks still listed when the list goes are left to the system.
#pragma once

#include <cstddef>
#include <cstdint>

namespace common {

using TrackedHandle = uintptr_t;

class TrackedBlocks {
 public:
  TrackedBlocks() = default;
  TrackedBlocks(const TrackedBlocks&) = delete;
  TrackedBlocks& operator=(const TrackedBlocks&) = delete;

  // Allocates size + 10 zero bytes behind a list header, stores the block's
  // handle in *handle and returns the address after the header (null and a 0
  // handle when memory is short).
  void* Alloc(size_t size, TrackedHandle* handle);
  // Unlinks and frees the block with *handle (if any) and sets *handle to 0.
  void Free(TrackedHandle* handle);
  // Blocks currently listed.
  size_t Count() const;

 private:
  struct BlockHeader {
    BlockHeader* next;
    TrackedHandle handle;
  };
  BlockHeader* first_ = nullptr;
};

}  // namespace common
