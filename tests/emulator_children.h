// The emulator processes a client started, read from /proc (Linux): a test
// that ends a client checks that none of them lives on.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/temp_dir.h"

// The s3270 processes whose parent is pid.
inline std::vector<pid_t> EmulatorChildren(pid_t pid) {
  std::vector<pid_t> found;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string stat = ReadFile(e.path().string() + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos || stat.find("(s3270)") == std::string::npos) continue;
    int ppid = 0;
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == pid)
      found.push_back(static_cast<pid_t>(std::stol(name)));
  }
  return found;
}

// Gone, or only a zombie.
inline bool ProcessGone(pid_t pid) {
  std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close + 1, 3, " Z ") == 0;
}
