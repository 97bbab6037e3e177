#include "platform/dynamic_library.h"

#include "platform/win32/windows_api.h"

#include "platform/paths.h"
#include "platform/system_error.h"

#include <utility>

namespace platform {
namespace {

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

bool HasExtension(std::string_view name) {
  size_t dot = name.find_last_of('.');
  return dot != std::string_view::npos && name.find_first_of("\\/", dot) == std::string_view::npos;
}

}  // namespace

// The system appends ".DLL" to a name without an extension; so do we, so that
// a directory search finds what LoadLibrary would.
std::string SharedObjectName(std::string_view windows_name) {
  std::string name(windows_name);
  if (!HasExtension(name)) name += ".DLL";
  return name;
}

std::string FindLibraryInDirectory(const std::string& dir, std::string_view name) {
  std::string path = dir.empty() ? std::string(".\\") : dir;
  if (path.back() != '\\' && path.back() != '/') path += kPathSeparator;
  path += SharedObjectName(name);
  // Names on disk ignore letter case, so a plain look-up is the search.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
  return path;
}

// A bare name takes the system's search order: the program's directory first,
// then the system directories, the current directory and PATH. A library
// named by its path finds the libraries it imports beside itself first.
void* LoadLibrary(std::string_view name, std::string* error) {
  SetError(error, "");
  if (name.empty()) {
    SetError(error, "no library name given");
    return nullptr;
  }
  std::string file(name);
  HMODULE module;
  if (file.find_first_of("\\/") == std::string::npos) {
    module = LoadLibraryA(file.c_str());
  } else {
    char full[MAX_PATH + 1];
    DWORD n = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
    std::string path = n > 0 && n < sizeof full ? std::string(full, n) : file;
    for (char& c : path)
      if (c == '/') c = '\\';
    module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (!module) SetError(error, file + ": " + SystemErrorText(static_cast<int>(GetLastError())));
  return reinterpret_cast<void*>(module);
}

void* GetProcAddress(void* library, const char* symbol, std::string* error) {
  if (!library) return nullptr;
  FARPROC p = ::GetProcAddress(static_cast<HMODULE>(library), symbol);
  if (!p) SetError(error, std::string("no entry point ") + symbol);
  return reinterpret_cast<void*>(p);
}

// The loader has checked the headers of a loaded module: its import table
// is read as it lies in memory.
void* GetProcAddressWithImports(void* library, const char* symbol) {
  if (void* own = GetProcAddress(library, symbol)) return own;
  if (!library) return nullptr;
  const auto* base = static_cast<const unsigned char*>(library);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (const auto* d =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       d->Name != 0; ++d) {
    HMODULE module = GetModuleHandleA(reinterpret_cast<const char*>(base + d->Name));
    if (!module) continue;
    if (FARPROC p = ::GetProcAddress(module, symbol)) return reinterpret_cast<void*>(p);
  }
  return nullptr;
}

void FreeLibrary(void* library) {
  if (library) ::FreeLibrary(static_cast<HMODULE>(library));
}

std::string LibraryDirectoryOf(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module))
    return "";
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(module, path, sizeof path);
  if (n == 0 || n >= sizeof path) return "";
  return DirectoryPart(std::string_view(path, n));
}

}  // namespace platform
