#include "platform/command_run.h"

#include <cstdlib>

namespace platform {

std::vector<std::string> PassedEnvironment() {
  static constexpr const char* kPassed[] = {"PATH",         "HOME",           "TZ",
                                            "LANG",         "LANGUAGE",       "LC_ALL",
                                            "LC_CTYPE",     "LC_COLLATE",     "LC_MESSAGES",
                                            "LC_MONETARY",  "LC_NUMERIC",     "LC_TIME",
                                            "LC_PAPER",     "LC_NAME",        "LC_ADDRESS",
                                            "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"};
  std::vector<std::string> env;
  for (const char* name : kPassed)
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  if (!std::getenv("PATH")) env.emplace_back("PATH=/usr/local/bin:/usr/bin:/bin");
  return env;
}

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
