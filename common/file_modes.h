// How the shared file helpers open and position their files.
#pragma once

namespace common {

enum class FileDirection { kInput, kOutput };
enum class SeekFrom { kStart, kCurrent, kEnd };

}  // namespace common
