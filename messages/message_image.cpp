#include "messages/message_image.h"

#include <cstdio>

namespace messages {
namespace {

void PutString(std::string& out, const std::string& s) {
  out += s;
  out += '\0';
}

}  // namespace

std::string BuildMessageImage(const std::vector<MessageEntry>& entries) {
  std::string out;
  PutString(out, kBanner);

  std::vector<std::size_t> offsets;
  offsets.reserve(entries.size());
  for (const MessageEntry& e : entries) {
    offsets.push_back(out.size());
    for (const std::string& line : e.lines) PutString(out, line);
    PutString(out, "##");
  }

  const std::size_t index_offset = out.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    PutString(out, entries[i].key);
    PutString(out, entries[i].title);
    PutString(out, std::to_string(offsets[i]));
  }
  out += '\0';  // the empty key that ends the index

  std::string trailer;
  PutString(trailer, std::to_string(entries.size()));
  PutString(trailer, std::to_string(index_offset));
  trailer.resize(kTrailerSize, '\0');
  out += trailer;
  return out;
}

}  // namespace messages
