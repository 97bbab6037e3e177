// A plain file: output (optionally appending) or input, keeping the last
// system error. Used for the message file and temporary files.
#pragma once

#include <cstddef>
#include <string>

#include "common/file_modes.h"

namespace common {

class FileAccess {
 public:
  static constexpr unsigned kAppend = 0x8000;

  FileAccess(const char* path, FileDirection direction, unsigned flags = 0);
  ~FileAccess();
  FileAccess(const FileAccess&) = delete;
  FileAccess& operator=(const FileAccess&) = delete;

  int Open();  // 0 or -1
  // Bytes read; opens the file first when needed; 0 with the error recorded on failure.
  size_t Read(size_t count, void* buffer);
  // Bytes written; fewer than count (with the error recorded) means the write failed.
  size_t Write(size_t count, const void* buffer);
  long LastError() const { return last_error_; }  // -1 when none
  // Returns the new position or -1.
  long Seek(SeekFrom from, long offset);
  // Makes what was written durable: 0, or -3 when the system could not.
  int Sync();
  int Close();  // 0, or -4 when closing failed
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  unsigned flags_;
  long last_error_ = -1;
  FileDirection direction_;
  std::string path_;
};

}  // namespace common
