#include "platform/command_run.h"

namespace platform {

std::string LastLines(const std::string& text, int count) {
  std::vector<std::string> lines;
  size_t end = text.size();
  while (end > 0 && static_cast<int>(lines.size()) < count) {
    size_t start = text.rfind('\n', end - 1);
    start = start == std::string::npos ? 0 : start + 1;
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) lines.insert(lines.begin(), line);
    end = start == 0 ? 0 : start - 1;
  }
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : " / ") + l;
  return out;
}

}  // namespace platform
