// The binary message file: texts, index and trailer.
//
//   offset 0   a banner string, so that no text lies at offset 0 (the readers
//              take offset 0 for "key not found")
//   texts      per key: its lines, each NUL-terminated, then "##" NUL
//   index      per key: key NUL, title NUL, text offset in decimal NUL;
//              an empty key (a lone NUL) ends it
//   trailer    the last 32 bytes: the number of texts NUL, the index offset NUL,
//              NUL padding
#pragma once

#include <string>
#include <vector>

#include "messages/message_source.h"

namespace messages {

inline constexpr std::size_t kTrailerSize = 32;
inline constexpr char kBanner[] = "QOR message file";
// Offsets the readers parse safely; a source this large is surely a mistake.
inline constexpr std::size_t kMaxImageSize = 100000000;

// Builds the file image. The entries must come from a source that parsed
// without errors and hold at least one text.
std::string BuildMessageImage(const std::vector<MessageEntry>& entries);

}  // namespace messages
