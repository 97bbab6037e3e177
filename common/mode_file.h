// A file that keeps a readable line for its last error. The configuration
// program reads with it; the client words its error lines differently and
// also traces them under "FILMANW".
#pragma once

#include <cstddef>
#include <string>

#include "common/file_modes.h"
#include "common/program_flavour.h"

namespace common {

class Tracer;

// How Open opens the file; kDefault truncates an output file and reads an input one.
enum class FileOpen { kDefault, kCreateNew, kReadShared, kAppend, kTruncate };

class ModeFile {
 public:
  static constexpr size_t kErrorSize = 256;
  static constexpr size_t kReadPiece = 16384;

  ModeFile(FileDirection direction, const char* path,
           ProgramFlavour flavour = ProgramFlavour::kClient, const Tracer* trace = nullptr);
  ~ModeFile();
  ModeFile(const ModeFile&) = delete;
  ModeFile& operator=(const ModeFile&) = delete;

  // Bytes are never translated. kCreateNew fails when the file exists;
  // kAppend creates it when missing. Returns the file's length or -1.
  long Open(FileOpen how = FileOpen::kDefault);
  // Reads up to count bytes in pieces; *got receives the count read. 0 or -2.
  int Read(void* buffer, size_t count, size_t* got = nullptr);
  long Seek(SeekFrom from, long offset);
  int Write(const void* buffer, size_t count);  // 0, or -3 (a short write too)
  int Close();                                  // 0 or -4
  const char* ErrorText() const { return error_; }
  bool Positioned() const { return positioned_; }

 private:
  bool EnsureOpen();
  void RecordError(const char* what, int error_number);

  FileDirection direction_;
  std::string path_;
  ProgramFlavour flavour_;
  const Tracer* trace_;
  int fd_ = 0;  // 0 until opened, as callers test it
  bool opened_ = false;
  bool positioned_ = false;
  char error_[kErrorSize] = {};
};

}  // namespace common
