// A Windows program under Wine, from the Linux side: which build and which
// Wine ($QOR_WINDOWS_BIN and $QOR_WINE, as scripts/test-windows sets them:
// the 32-bit build under wine where this machine runs 32-bit programs, else
// the 64-bit build under wine64, also the default), and a fresh Wine prefix
// whose server (and so every program in it) is stopped when the test ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/tmux_session.h"

inline constexpr char kWine64[] = "/usr/lib/wine/wine64";

// $QOR_WINE (a path, or a name found on PATH), else 64-bit Wine.
inline std::string WineLoader() {
  const char* wine = std::getenv("QOR_WINE");
  return wine && *wine ? std::string(wine) : std::string(kWine64);
}

// The loader's own server: wine -> wineserver, /usr/lib/wine/wine64 ->
// /usr/lib/wine/wineserver64.
inline std::string WineServerOf(const std::string& loader) {
  size_t name = loader.rfind('/') + 1;  // 0 without a directory
  return loader.substr(0, name) + "wineserver" + loader.substr(name + 4);
}

// $QOR_WINDOWS_BIN, else build-windows64/bin in the sources.
inline std::string WindowsBinDir() {
  const char* dir = std::getenv("QOR_WINDOWS_BIN");
  return dir && *dir ? std::string(dir) : std::string(QOR_SOURCE_DIR) + "/build-windows64/bin";
}

// Empty when the program and Wine are there; else why the test cannot run.
inline std::string WineMissing(const std::string& program) {
  if (access(program.c_str(), R_OK) != 0) return "no Windows build of " + program;
  const std::string wine = WineLoader();
  if (!Installed(wine) || !TmuxInstalled()) return "needs " + wine + " and tmux";
  return "";
}

struct WinePrefix {
  std::string path;
  std::string loader = WineLoader();
  ~WinePrefix() {
    const std::string server = "WINEPREFIX=" + path + " " + WineServerOf(loader);
    Shell(server + " -k 2>/dev/null; " + server + " -w 2>/dev/null");
  }
  // The environment and loader that run a program in this prefix, for a
  // UTF-8 terminal (Wine's console draws frames in the locale's charset).
  // 64-bit Wine is told its loader: programs it starts would look for wine.
  std::string Command(const std::string& program) const {
    const std::string wine64 = loader.ends_with("64") ? " WINELOADER=" + loader : "";
    return "env WINEPREFIX=" + path + " WINEDEBUG=-all" + wine64 + " TERM=screen LANG=C.UTF-8 " +
           loader + " " + program;
  }
};
