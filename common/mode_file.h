// A file opened by mode letters that keeps a readable line for its last error.
// Mode 'I' input, 'O' output. The configuration program reads with it; the
// client's build also traces each error line under "FILMANW".
#pragma once

#include <cstddef>
#include <string>

class ModeFile {
 public:
  static constexpr size_t kErrorSize = 256;
  static constexpr size_t kReadPiece = 16384;

  ModeFile(char mode, const char* path);
  ~ModeFile();
  ModeFile(const ModeFile&) = delete;
  ModeFile& operator=(const ModeFile&) = delete;

  // binary 'B' (bytes are never translated here); create 'C' = new file, fail
  // if it exists; share 'S' read only, 'A' append (create when missing), 'C'
  // create or truncate. Returns the file's length or -1.
  long Open(char binary = ' ', char create = ' ', char share = ' ');
  // Reads up to count bytes in pieces; *got receives the count read. 0 or -2.
  int Read(void* buffer, size_t count, size_t* got = nullptr);
  // 'E' from the end, 'S' from the start, else from the current position.
  long Seek(char method, long offset);
  int Write(const void* buffer, size_t count);  // 0, or -3 (a short write too)
  int Close();                                  // 0 or -4
  const char* ErrorText() const { return error_; }
  bool Positioned() const { return positioned_; }

 private:
  bool EnsureOpen();
  void RecordError(const char* what, int error_number);

  char mode_;
  std::string path_;
  int fd_ = 0;  // 0 until opened, as callers test it
  bool opened_ = false;
  bool positioned_ = false;
  char error_[kErrorSize] = {};
};
