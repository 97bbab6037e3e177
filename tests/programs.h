// The programs the tests run: the build's own, and those the end-to-end tests
// need from the system.
#pragma once

#include <cstdlib>
#include <string>

// Where the build put its programs, shared objects and message files:
// $QOR_TEST_BIN when ctest gives it, else the directory of this build.
inline std::string BinDir() {
  const char* bin = std::getenv("QOR_TEST_BIN");
  return bin && *bin ? bin : QOR_BIN_DIR;
}

// Whether the shell finds program on $PATH.
inline bool Installed(const std::string& program) {
  return std::system(("command -v '" + program + "' >/dev/null 2>&1").c_str()) == 0;
}

inline bool TmuxInstalled() { return Installed("tmux"); }
inline bool S3270Installed() { return Installed("s3270"); }
inline bool C3270Installed() { return Installed("c3270"); }
inline bool OpensslInstalled() { return Installed("openssl"); }
