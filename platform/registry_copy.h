// How both registries hand a name or value to a caller's buffer: with its
// terminating NUL, or ERROR_MORE_DATA and the size it needs.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/win_errors.h"

namespace platform {

inline long CopyOut(const std::string& text, char* out, size_t* size) {
  size_t need = text.size() + 1;
  size_t have = *size;
  *size = need;
  if (!out || have < need) return kErrorMoreData;
  std::memcpy(out, text.c_str(), need);
  return kErrorSuccess;
}

}  // namespace platform
