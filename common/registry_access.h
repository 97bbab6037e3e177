// A registry key under HKEY_CURRENT_USER with a 128-byte result buffer. Every
// failure keeps its kind; the client also traces it.
#pragma once

#include <string>

#include "common/program_flavour.h"
#include "platform/registry.h"

namespace common {

class Tracer;

// How a key is reached; the letter is what the trace shows.
enum class RegistryOpen : char { kExisting = 'O', kCreate = 'C' };
// What Enumerate lists.
enum class RegistryItems : char { kValues = 'V', kKeys = 'K' };

class RegistryAccess {
 public:
  enum ErrorKind { kNone = 0, kOpen = 1, kGet = 2, kPut = 3, kBrowse = 4, kDelete = 5 };
  static constexpr size_t kResultSize = 128;
  static constexpr size_t kEnumNameLimit = 62;  // names and data longer than this fail

  // Only HKEY_CURRENT_USER exists here. The client's failures go to trace
  // when one is given.
  explicit RegistryAccess(ProgramFlavour flavour = ProgramFlavour::kClient,
                          const Tracer* trace = nullptr)
      : flavour_(flavour), trace_(trace) {}

  // kCreate creates the key when it is missing. Re-opening the same sub-path
  // (exact comparison) reuses the open key.
  int Open(const char* sub_path, RegistryOpen mode);
  // The value's text (at most 127 characters) or null; longer values fail.
  const char* GetValue(const char* sub_path, const char* name, RegistryOpen mode);
  int PutValue(const char* sub_path, const char* name, const char* text, RegistryOpen mode);
  // kValues: "name\0data"; kKeys: a sub-key name. Null at the end (no error,
  // index restarts) or on failure.
  const char* Enumerate(const char* sub_path, RegistryItems kind);
  // The next sub-key name or null at the end or on any failure (not recorded).
  const char* EnumerateKeys(const char* sub_path);
  int DeleteKey(const char* sub_path);  // client build only
  // Writes "Registry %s Error" into buffer (at least 32 bytes) when given.
  int ErrorText(char* buffer) const;

  bool IsOpen() const { return open_; }
  long LastResult() const { return last_result_; }

 private:
  int OpenAs(const char* sub_path, bool create, char letter);
  void Fail(ErrorKind kind, char letter, const char* sub_path, long result);

  ProgramFlavour flavour_;
  const Tracer* trace_;
  platform::RegKey key_;
  bool open_ = false;
  std::string sub_path_;
  int error_kind_ = kNone;
  long last_result_ = 0;
  int enum_index_ = -1;
  char result_[kResultSize] = {};
};

}  // namespace common
