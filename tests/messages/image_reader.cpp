#include "tests/messages/image_reader.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr std::size_t kTrailer = 32;
constexpr std::size_t kJoinLimit = 384;

long Decimal(const std::string& s) {
  long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9' || v > 100000000L) return -1;
    v = v * 10 + (c - '0');
  }
  return s.empty() ? -1 : v;
}

// The NUL-terminated string at pos, which must end before limit.
bool StringAt(const std::string& bytes, std::size_t pos, std::size_t limit, std::string& out) {
  if (pos >= limit) return false;
  std::size_t nul = bytes.find('\0', pos);
  if (nul == std::string::npos || nul >= limit) return false;
  out = bytes.substr(pos, nul - pos);
  return true;
}

}  // namespace

ImageReport ReadImage(const std::string& bytes) {
  ImageReport r;
  auto problem = [&r](std::string text) { r.problems.push_back(std::move(text)); };
  if (bytes.size() <= kTrailer) {
    problem("file shorter than its trailer");
    return r;
  }
  const std::size_t trailer = bytes.size() - kTrailer;
  std::string first, second;
  if (!StringAt(bytes, trailer, bytes.size(), first) ||
      !StringAt(bytes, trailer + first.size() + 1, bytes.size(), second)) {
    problem("trailer does not hold two strings");
    return r;
  }
  r.first_number = Decimal(first);
  r.index_offset = Decimal(second);
  if (r.first_number <= 0) problem("first trailer number not positive: '" + first + "'");
  if (r.index_offset <= 0 || static_cast<std::size_t>(r.index_offset) >= trailer) {
    problem("index offset out of range: '" + second + "'");
    return r;
  }
  const std::size_t index = static_cast<std::size_t>(r.index_offset);
  std::size_t pos = index;
  for (;;) {
    std::string key, title, offset;
    if (!StringAt(bytes, pos, trailer, key)) {
      problem("index not ended by an empty key");
      return r;
    }
    pos += key.size() + 1;
    if (key.empty()) break;
    if (!StringAt(bytes, pos, trailer, title)) {
      problem("index entry '" + key + "' has no title");
      return r;
    }
    pos += title.size() + 1;
    if (!StringAt(bytes, pos, trailer, offset)) {
      problem("index entry '" + key + "' has no offset");
      return r;
    }
    pos += offset.size() + 1;
    if (key.size() > kJoinLimit || title.size() > kJoinLimit)
      problem("index string of '" + key + "' too long for the join buffer");
    ImageEntry e{key, title, Decimal(offset), {}};
    if (e.offset <= 0 || static_cast<std::size_t>(e.offset) >= index) {
      problem("text offset of '" + key + "' out of range: '" + offset + "'");
      r.entries.push_back(e);
      continue;
    }
    std::size_t at = static_cast<std::size_t>(e.offset);
    std::string line;
    for (;;) {
      if (!StringAt(bytes, at, index, line)) {
        problem("text of '" + key + "' runs into the index without \"##\"");
        break;
      }
      at += line.size() + 1;
      if (line == "##") break;
      if (line.size() > kJoinLimit) problem("line of '" + key + "' too long for the join buffer");
      e.lines.push_back(line);
    }
    r.entries.push_back(std::move(e));
  }
  if (pos != trailer) problem("bytes between the index's end and the trailer");
  return r;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
