// Lists the entries of one directory that match a pattern and an attribute
// filter. The filter is the high byte of the mask:
//   0x80 directories, 0x40 (with 0x80 unset: no plain files), 0x10 read-only,
//   0x08 system (none on Linux), 0x04 hidden (names starting with '.').
// A mask of 0 lists plain visible files; 0xC000 lists visible directories.
// "." is never listed; ".." is listed as a visible directory.
#pragma once

#include <dirent.h>
#include <string>

namespace common {

class FileDirectory {
 public:
  static constexpr size_t kPatternSize = 260;  // 259 characters and a NUL

  FileDirectory(const char* path_or_pattern, unsigned mask);
  ~FileDirectory();
  FileDirectory(const FileDirectory&) = delete;
  FileDirectory& operator=(const FileDirectory&) = delete;

  // The next matching entry's name, or null when there are no more. The
  // pointer stays valid until the next call.
  const char* Next();
  // Size of the first entry that matches pattern and filter; 0 when entries
  // match the pattern but none passes the filter; -1 when none matches.
  long long GetSingle();

  const char* Pattern() const { return pattern_.c_str(); }
  long long GetSize() const { return size_; }  // of the entry last returned

 private:
  bool Passes(const std::string& full_path, const char* name, bool* matched_pattern);

  std::string pattern_;
  std::string directory_;
  std::string name_pattern_;
  unsigned filter_;
  DIR* search_ = nullptr;
  bool started_ = false;
  std::string current_;
  long long size_ = 0;
};

}  // namespace common
