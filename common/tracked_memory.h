// Zero-filled memory blocks kept in one process-wide list (screen buffers, the
// message text pool). Blocks still listed at exit are left to the system.
#pragma once

#include <cstddef>
#include <cstdint>

using TrackedHandle = uintptr_t;

// Allocates size + 10 zero bytes behind a list header, stores the block's
// handle in *handle and returns the address after the header (null and a 0
// handle when memory is short).
void* TrackedAlloc(size_t size, TrackedHandle* handle);
// Unlinks and frees the block with *handle (if any) and sets *handle to 0.
void TrackedFree(TrackedHandle* handle);
// Blocks currently listed.
size_t TrackedCount();
