// Emulator replies in arbitrary pieces: the parser must never read out of
// bounds, and every reply it returns must carry a sane status.
#include <cstddef>
#include <cstdint>
#include <string>

#include "emulator/script_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size.
  std::size_t piece = 1 + data[0] % 64;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  emulator::ScriptReplyParser parser;
  emulator::ScriptReply reply;
  for (std::size_t i = 0; i < bytes.size(); i += piece) {
    parser.Feed(std::string_view(bytes).substr(i, piece));
    while (parser.Next(&reply)) {
      if (reply.status.rows < 1 || reply.status.columns < 1 ||
          reply.status.cursor_row >= reply.status.rows ||
          reply.status.cursor_column >= reply.status.columns)
        __builtin_trap();
    }
    if (parser.Overflowed()) break;
  }
  emulator::ScriptStatus status;
  emulator::ParseScriptStatus(bytes, &status);
  return 0;
}
