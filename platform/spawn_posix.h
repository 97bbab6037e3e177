// Starting a program on POSIX systems. Every child starts from the same clean
// slate: none of our descriptors beyond its three standard ones, no blocked
// signals and the default action for the signals we catch or ignore. What
// differs between callers is said here: its standard streams, its environment
// and whether it leads a process group of its own.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// What one of the child's standard descriptors becomes; applied in order.
struct SpawnStream {
  int fd = -1;       // the child's descriptor: 0, 1 or 2
  int from = -1;     // a copy of this descriptor (ours, or one set before) ...
  std::string path;  // ... else this file, opened with flags and mode
  int flags = 0;
  mode_t mode = 0;

  static SpawnStream Copy(int fd, int from) { return {fd, from, "", 0, 0}; }
  static SpawnStream Open(int fd, const std::string& path, int flags, mode_t mode = 0) {
    return {fd, -1, path, flags, mode};
  }
};

struct SpawnSetup {
  std::vector<std::string> argv;  // argv[0] is looked up in PATH
  // "NAME=value" entries; none given: this process's environment.
  std::optional<std::vector<std::string>> environment;
  std::vector<SpawnStream> streams;
  bool own_group = false;  // leads a process group of its own
};

// Starts the program: 0 with *pid set, else the error number.
int Spawn(const SpawnSetup& setup, pid_t* pid);

}  // namespace platform
