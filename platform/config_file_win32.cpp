#include "platform/config_file.h"

#include <cstdlib>

namespace platform {

namespace {

// %APPDATA%\qorprt\NAME (settings, which roam with the user) or
// %LOCALAPPDATA%\qorprt\NAME (logs, which stay on the machine).
std::string UnderProfile(const char* profile_var, const char* file_name) {
  const char* base = std::getenv(profile_var);
  if (!base || !*base) return "";
  return std::string(base) + "\\qorprt\\" + file_name;
}

}  // namespace

std::string ConfigFilePath(const char* env_var, const char* file_name) {
  if (const char* p = std::getenv(env_var); p && *p) return p;
  std::string path = UnderProfile("APPDATA", file_name);
  return path.empty() ? std::string(".qorprt\\") + file_name : path;
}

std::string StateFilePath(const char* env_var, const char* file_name) {
  if (const char* p = std::getenv(env_var); p && *p) return p;
  return UnderProfile("LOCALAPPDATA", file_name);
}

}  // namespace platform
