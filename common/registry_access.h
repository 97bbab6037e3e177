// A registry key under HKEY_CURRENT_USER with a 128-byte result buffer. Every
// failure keeps its kind; the client's build also traces it.
#pragma once

#include <string>

#include "platform/registry.h"

class RegistryAccess {
 public:
  enum ErrorKind { kNone = 0, kOpen = 1, kGet = 2, kPut = 3, kBrowse = 4, kDelete = 5 };
  static constexpr size_t kResultSize = 128;
  static constexpr size_t kEnumNameLimit = 62;  // names and data longer than this fail

  // Only HKEY_CURRENT_USER exists here; the root is kept for callers' sake.
  explicit RegistryAccess(const char* root = platform::kCurrentUserRoot);

  // Mode 'C' creates the key when it is missing. Re-opening the same sub-path
  // (exact comparison) reuses the open key.
  int Open(const char* sub_path, char mode);
  // The value's text (at most 127 characters) or null; longer values fail.
  const char* GetValue(const char* sub_path, const char* name, char mode);
  int PutValue(const char* sub_path, const char* name, const char* text, char mode);
  // Kind 'V': "name\0data"; other kinds: a sub-key name. Null at the end
  // (no error, index restarts) or on failure.
  const char* Enumerate(const char* sub_path, char kind);
  // The next sub-key name or null at the end or on any failure (not recorded).
  const char* EnumerateKeys(const char* sub_path);
  int DeleteKey(const char* sub_path);  // client build only
  // Writes "Registry %s Error" into buffer (at least 32 bytes) when given.
  int ErrorText(char* buffer) const;

  bool IsOpen() const { return open_; }
  long LastResult() const { return last_result_; }

 private:
  void Fail(ErrorKind kind, char mode, const char* sub_path, long result);

  std::string root_;
  platform::RegKey key_;
  bool open_ = false;
  std::string sub_path_;
  int error_kind_ = kNone;
  long last_result_ = 0;
  int enum_index_ = -1;
  char result_[kResultSize] = {};
};
