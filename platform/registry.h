// HKEY_CURRENT_USER with Win32-style calls. On Windows these are the real
// registry's; on Linux it is kept in a REGEDIT4 text file:
//
// Every call reads the file afresh, so values written by another process are
// seen at once. A change is made under an advisory lock on "<file>.lock": the
// file is read again, changed, written to a temporary file, flushed and renamed
// over the old one, so a crash never leaves a half-written registry and two
// programs never lose each other's writes.
//
// A garbled or truncated file is read as far as it can be; changes to it are
// refused with kErrorBadDatabase so that nothing the user had is overwritten,
// and RegistryProblem() says what is wrong and where.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win_errors.h"

namespace platform {

constexpr const char* kCurrentUserRoot = "HKEY_CURRENT_USER";

// An open key: the full path under the root (no handle is kept open).
struct RegKey {
  std::string path;
};

// Linux: $QOR_REGISTRY, else $XDG_CONFIG_HOME/qorprt/registry.reg, else
// ~/.config/qorprt/registry.reg. Windows: "" (there is no file).
std::string RegistryFilePath();

long RegCreateKey(const std::string& sub_path, RegKey* key);
long RegOpenKey(const std::string& sub_path, RegKey* key);
// data receives at most *size bytes including the terminating NUL; *size is set
// to the bytes needed. kErrorMoreData when the buffer is too small.
long RegQueryValue(const RegKey& key, const std::string& name, char* data, size_t* size);
long RegSetValue(const RegKey& key, const std::string& name, const std::string& text);
// Values and sub-keys by index in creation order; kErrorNoMoreItems past the end.
// Sizes work as for RegQueryValue (kErrorMoreData when a buffer is too small).
long RegEnumValue(const RegKey& key, unsigned index, char* name, size_t* name_size, char* data,
                  size_t* data_size);
long RegEnumKey(const RegKey& key, unsigned index, char* name, size_t* name_size);
// Deletes a key that has no sub-keys (kErrorAccessDenied otherwise).
long RegDeleteKey(const std::string& sub_path);
// Deletes a key with all its sub-keys and values.
long RegDeleteTree(const std::string& sub_path);

// The problems found in the registry file, read afresh: what made the last
// call that read it refuse a change (empty when it is readable).
std::string RegistryProblem();

// Why the registry file cannot be trusted as settings, read afresh: its path,
// the first line that cannot be read and what is wrong there (and how many
// more there are), or why the file cannot be read at all. An empty file counts
// too: it is what a truncated one looks like. "" when the file is missing or
// whole, and always on Windows.
std::string RegistryFileProblem();

// Where a value is kept, for messages: "<file>: line N" (the file's path alone
// when the value is not in it), or on Windows the value's name and key.
std::string RegistryValueLocation(const RegKey& key, const std::string& name);

}  // namespace platform
