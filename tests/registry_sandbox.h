// The registry a test may change. On Linux a registry file of the test's own;
// on Windows the real HKEY_CURRENT_USER, where the keys tests use are cleared
// before and after each test.
#pragma once

#include <string>

#include "platform/registry.h"
#include "tests/temp_dir.h"

class RegistrySandbox {
 public:
  explicit RegistrySandbox(const std::string& file) : env_("QOR_REGISTRY", file) { Clear(); }
  ~RegistrySandbox() { Clear(); }
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  // Tests keep their own keys under this one, or use the few cleared below.
  static constexpr const char* kTestRoot = "SOFTWARE\\QORTEST";

 private:
  static void Clear() {
    if (!platform::RegistryFilePath().empty()) return;  // a file of its own: nothing to clear
    for (const char* key : {"SOFTWARE\\VORNTEK", kTestRoot, "SOFTWARE\\EMPTY", "SOFTWARE\\LATER",
                            "SOFTWARE\\NONE", "SOFTWARE\\NOWHERE", "SOFTWARE\\REUSE"})
      platform::RegDeleteTree(key);
  }
  ScopedEnv env_;
};

// A value as a test reads it: its text, "<no key>" or "<rc N>".
inline std::string RegistryGet(const char* sub, const char* name) {
  platform::RegKey key;
  if (platform::RegOpenKey(sub, &key) != platform::kErrorSuccess) return "<no key>";
  char buf[256];
  size_t size = sizeof buf;
  long rc = platform::RegQueryValue(key, name, buf, &size);
  return rc == platform::kErrorSuccess ? std::string(buf) : "<rc " + std::to_string(rc) + ">";
}

// Creates the key as needed and sets the value; the call's result.
inline long RegistryPut(const char* sub, const char* name, const std::string& value) {
  platform::RegKey key;
  long rc = platform::RegCreateKey(sub, &key);
  return rc != platform::kErrorSuccess ? rc : platform::RegSetValue(key, name, value);
}
