#include "common/message_file.h"

#include <cstdlib>
#include <cstring>

namespace common {

namespace {

long DecimalValue(const char* s) {
  // Leading digits only; anything else counts as 0, as a damaged trailer must.
  long value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    if (value > 100000000L) return 0;
    value = value * 10 + (*s - '0');
  }
  return value;
}

}  // namespace

MessageFile::MessageFile(ShowFailure show) : show_(std::move(show)) {}

MessageFile::~MessageFile() { blocks_.Free(&pool_handle_); }

void MessageFile::Fail(const char* text) {
  if (show_) show_(text);
}

void MessageFile::Close() { file_.reset(); }

int MessageFile::MessageFileOpen(const char* path) {
  Close();
  auto file = std::make_unique<FileAccess>(path, FileDirection::kInput);
  if (file->Open() != 0) {
    Fail("Error in opening DUVIZE.QOR File");
    return 0;
  }
  char trailer[kTrailerSize + 1] = {};
  long end = file->Seek(SeekFrom::kEnd, 0);
  long start = end > static_cast<long>(kTrailerSize) ? end - static_cast<long>(kTrailerSize) : 0;
  size_t got = 0;
  if (end >= 0 && file->Seek(SeekFrom::kStart, start) >= 0) got = file->Read(kTrailerSize, trailer);
  if (got == 0) {
    Fail("Error in read for DUVIZE.QOR File");
    return 0;
  }
  long first = DecimalValue(trailer);
  size_t first_len = strnlen(trailer, got);
  long second = first_len + 1 < got ? DecimalValue(trailer + first_len + 1) : 0;
  if (first <= 0 || second <= 0 || second >= end) {
    Fail("DUVIZE.QOR file incorrect format");
    return 0;
  }
  file_ = std::move(file);
  index_offset_ = second;
  return 1;
}

void MessageFile::StartPass(long offset) {
  file_->Seek(SeekFrom::kStart, offset);
  pos_ = kBlockSize;
  block_len_ = 0;
}

const char* MessageFile::NextString(size_t* consumed) {
  if (pos_ >= block_len_) {
    block_len_ = file_->Read(kBlockSize, block_);
    pos_ = 0;
    if (block_len_ == 0) return nullptr;
  }
  block_[block_len_] = '\0';
  char* start = block_ + pos_;
  size_t rest = block_len_ - pos_;
  if (const void* nul = std::memchr(start, '\0', rest)) {
    size_t len = static_cast<size_t>(static_cast<const char*>(nul) - start);
    pos_ += len + 1;
    if (consumed) *consumed = len + 1;
    return start;
  }
  // The string crosses into the next block: join both parts.
  size_t kept = rest < kJoinSize - 1 ? rest : kJoinSize - 1;
  std::memcpy(join_, start, kept);
  block_len_ = file_->Read(kBlockSize, block_);
  pos_ = 0;
  if (block_len_ == 0) return nullptr;
  block_[block_len_] = '\0';
  const void* nul = std::memchr(block_, '\0', block_len_);
  if (!nul) return nullptr;
  size_t tail = static_cast<size_t>(static_cast<const char*>(nul) - block_);
  size_t room = kJoinSize - 1 - kept;
  size_t copied = tail < room ? tail : room;
  std::memcpy(join_ + kept, block_, copied);
  join_[kept + copied] = '\0';
  pos_ = tail + 1;
  if (consumed) *consumed = rest + tail + 1;
  return join_;
}

long MessageFile::MessageFind(const char* key) {
  if (!file_ || !key) return 0;
  StartPass(index_offset_);
  for (;;) {
    const char* k = NextString();
    if (!k || !*k) return 0;
    bool match = std::strcmp(k, key) == 0;
    if (!NextString()) return 0;  // index title
    const char* offset = NextString();
    if (!offset) return 0;
    if (match) return DecimalValue(offset);
  }
}

const char* MessageFile::MessageText(const char* key, TextLife life) {
  long offset = MessageFind(key);
  if (offset == 0) return nullptr;
  StartPass(offset);
  const char* text = NextString();
  if (!text || life == TextLife::kUntilNextLookup) return text;
  size_t len = std::strlen(text);
  if (!pool_) pool_ = static_cast<char*>(blocks_.Alloc(kPoolSize, &pool_handle_));
  if (!pool_ || len + 1 + pool_used_ > kPoolSize) {
    Fail("Internal Verbage Buffer Size exceeded");
    return nullptr;
  }
  char* copy = pool_ + pool_used_;
  std::memcpy(copy, text, len + 1);
  pool_used_ += len + 1;
  return copy;
}

std::vector<std::string> MessageFile::MessageLines(const char* key) {
  std::vector<std::string> lines;
  long offset = MessageFind(key);
  if (offset == 0) return lines;
  for (;;) {
    StartPass(offset);
    size_t consumed = 0;
    const char* line = NextString(&consumed);
    if (!line || std::strcmp(line, "##") == 0) break;
    lines.emplace_back(line);
    offset += static_cast<long>(consumed);
  }
  return lines;
}

std::string MessageFile::MessageLinesJoined(const char* key) {
  std::string joined;
  for (const std::string& line : MessageLines(key)) {
    joined += line;
    joined += '\n';
  }
  if (!joined.empty()) joined.pop_back();
  return joined;
}

std::vector<MessageFile::IndexEntry> MessageFile::IndexEntries() {
  std::vector<IndexEntry> entries;
  if (!file_) return entries;
  StartPass(index_offset_);
  for (;;) {
    const char* k = NextString();
    if (!k || !*k) break;
    IndexEntry entry{k, "", 0};
    const char* title = NextString();
    if (!title) break;
    entry.title = title;
    const char* offset = NextString();
    if (!offset) break;
    entry.offset = DecimalValue(offset);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace common
