// A Windows program of the 64-bit Windows build under 64-bit Wine, from the
// Linux side: where the build is, and a fresh Wine prefix whose server (and
// so every program in it) is stopped when the test ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/tmux_session.h"

inline constexpr char kWine64[] = "/usr/lib/wine/wine64";
inline constexpr char kWineServer64[] = "/usr/lib/wine/wineserver64";

// $QOR_WINDOWS_BIN, else build-windows64/bin in the sources.
inline std::string WindowsBinDir() {
  const char* dir = std::getenv("QOR_WINDOWS_BIN");
  return dir && *dir ? std::string(dir) : std::string(QOR_SOURCE_DIR) + "/build-windows64/bin";
}

// Empty when the program and Wine are there; else why the test cannot run.
inline std::string WineMissing(const std::string& program) {
  if (access(program.c_str(), R_OK) != 0) return "no Windows build of " + program;
  if (access(kWine64, X_OK) != 0 || !TmuxInstalled()) return "needs wine64 and tmux";
  return "";
}

struct WinePrefix {
  std::string path;
  ~WinePrefix() {
    Shell("WINEPREFIX=" + path + " " + kWineServer64 + " -k 2>/dev/null; WINEPREFIX=" + path + " " +
          kWineServer64 + " -w 2>/dev/null");
  }
  // The environment and loader that run a program in this prefix, for a
  // UTF-8 terminal (Wine's console draws frames in the locale's charset).
  std::string Command(const std::string& program) const {
    return "env WINEPREFIX=" + path + " WINEDEBUG=-all WINELOADER=" + kWine64 +
           " TERM=screen LANG=C.UTF-8 " + kWine64 + " " + program;
  }
};
