#include "platform/config_file.h"

#include <cstdlib>

#include "platform/paths.h"

namespace platform {

namespace {

std::string InSystemDirectory(const std::string& dir, const char* file_name) {
  return dir + kPathSeparator + "qorprt" + kPathSeparator + file_name;
}

}  // namespace

std::string ConfigFilePath(const char* env_var, const char* file_name) {
  if (const char* p = std::getenv(env_var); p && *p) return p;
  if (const char* d = std::getenv(kConfigDirectoryVariable); d && *d) {
    std::string dir = d;
    if (!IsPathSeparator(dir.back())) dir += kPathSeparator;
    return dir + file_name;
  }
  std::string base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
    base = x;
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    base = std::string(h) + "/.config";
  } else if (std::string dir = SystemConfigDirectory(); !dir.empty()) {
    return InSystemDirectory(dir, file_name);
  } else {
    base = ".config";
  }
  return base + "/qorprt/" + file_name;
}

FileSharing ConfigFileSharing() {
  const char* dir = std::getenv(kConfigDirectoryVariable);
  return dir && *dir ? FileSharing::kReadableByAll : FileSharing::kPrivate;
}

void UseConfigDirectory(const std::string& directory) {
  // Absolute: the client changes its directory as it writes jobs.
  setenv(kConfigDirectoryVariable, AbsolutePath(directory).c_str(), 1);
  for (const char* one_file : {"QOR_REGISTRY", "QOR_SESSIONS", "QOR_SETTINGS"}) unsetenv(one_file);
}

std::string StateFilePath(const char* env_var, const char* file_name) {
  if (const char* p = std::getenv(env_var); p && *p) return p;
  if (const char* x = std::getenv("XDG_STATE_HOME"); x && *x)
    return std::string(x) + "/qorprt/" + file_name;
  if (const char* h = std::getenv("HOME"); h && *h)
    return std::string(h) + "/.local/state/qorprt/" + file_name;
  if (std::string dir = SystemStateDirectory(); !dir.empty())
    return InSystemDirectory(dir, file_name);
  return "";
}

}  // namespace platform
