// Emulator replies in arbitrary pieces: the parser must never read out of
// bounds, and every reply it returns must carry a sane status. The same bytes
// as a screen's buffer dump must give a whole screen or nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/read_buffer.h"
#include "emulator/script_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size.
  std::size_t piece = 1 + data[0] % 64;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  emulator::ScriptReplyParser parser;
  emulator::ScriptReply reply;
  for (std::size_t i = 0; i < bytes.size(); i += piece) {
    parser.feed(std::string_view(bytes).substr(i, piece));
    while (parser.next(&reply)) {
      if (reply.status.rows < 1 || reply.status.columns < 1 ||
          reply.status.cursor_row >= reply.status.rows ||
          reply.status.cursor_column >= reply.status.columns)
        __builtin_trap();
    }
    if (parser.overflowed()) break;
  }
  emulator::ScriptStatus status;
  emulator::ParseScriptStatus(bytes, &status);
  // The same bytes as a buffer dump of a screen of up to 4 x 8.
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(bytes.substr(start, end - start));
  int columns = 1 + data[0] % 8;
  emulator::ScreenImage image;
  if (emulator::ParseReadBuffer(lines, static_cast<int>(lines.size()), columns, &image) &&
      (image.text.size() != lines.size() * static_cast<std::size_t>(columns) || image.input.size() != image.text.size()))
    __builtin_trap();
  image.takes_input(data[0] % 40, data[0] % 7);
  return 0;
}
