// Reader of a compiled message file: texts found by upper-case key through an
// index at the end of the file. The file stays open and is read in 512-byte
// blocks; it is never loaded whole.
//
// Layout: texts (NUL-terminated lines, each text ended by a line "##"), then
// the index (key, index title, decimal offset; an empty key ends it), then a
// 32-byte trailer of two positive decimal numbers, the second the index offset.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/file_access.h"
#include "common/tracked_memory.h"

namespace common {

class MessageFile {
 public:
  static constexpr size_t kBlockSize = 512;
  static constexpr size_t kJoinSize = 385;  // 384 characters and a NUL
  static constexpr size_t kPoolSize = 2560;
  static constexpr size_t kTrailerSize = 32;

  // How the program shows a failure text (a message box with an OK button).
  using ShowFailure = std::function<void(const char* text)>;

  explicit MessageFile(ShowFailure show = nullptr);
  ~MessageFile();
  MessageFile(const MessageFile&) = delete;
  MessageFile& operator=(const MessageFile&) = delete;

  void SetShowFailure(ShowFailure show) { show_ = std::move(show); }

  int MessageFileOpen(const char* path);  // 1 or 0
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // The text's offset, 0 when the key is absent or the file is not open.
  long MessageFind(const char* key);
  // How long a text MessageText returns stays valid.
  enum class TextLife { kUntilNextLookup, kPermanent };
  // The first line of the key's text, or null. kPermanent: a copy in the
  // 2560-byte text pool.
  const char* MessageText(const char* key, TextLife life);
  // The client's reading: every line up to the line "##".
  std::vector<std::string> MessageLines(const char* key);
  // The configuration program's reading: the lines joined by line feeds, with
  // no final line feed.
  std::string MessageLinesJoined(const char* key);

  struct IndexEntry {
    std::string key, title;
    long offset;
  };
  // Every index entry in file order (for the help index).
  std::vector<IndexEntry> IndexEntries();

  size_t PoolUsed() const { return pool_used_; }

 private:
  // One reading pass from a file position.
  void StartPass(long offset);
  // The next NUL-terminated string of the pass, or null. *consumed receives the
  // bytes the string took in the file including its NUL (a joined string longer
  // than the join buffer is cut, but consumed counts all of it).
  const char* NextString(size_t* consumed = nullptr);
  void Fail(const char* text);

  ShowFailure show_;
  std::unique_ptr<FileAccess> file_;
  long index_offset_ = 0;
  char block_[kBlockSize + 1] = {};  // +1: a NUL guard behind the block
  size_t block_len_ = 0;
  size_t pos_ = kBlockSize;
  char join_[kJoinSize] = {};
  char* pool_ = nullptr;  // a tracked block, allocated at the first permanent lookup
  TrackedHandle pool_handle_ = 0;
  TrackedBlocks blocks_;
  size_t pool_used_ = 0;
};

}  // namespace common
