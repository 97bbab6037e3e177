#include "platform/dynamic_library.h"

#include <dirent.h>
#include <dlfcn.h>
#include <cctype>
#include <utility>

#include "platform/paths.h"
#include "platform/registry_document.h"

namespace platform {
namespace {

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

void* Open(const std::string& path, std::string* error) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* err = ::dlerror();
    SetError(error, err ? err : ("cannot load " + path));
  }
  return handle;
}

}  // namespace

std::string SharedObjectName(std::string_view windows_name) {
  std::string_view base = windows_name;
  if (EndsWith(base, ".so")) return Lower(base);
  if (EndsWith(base, ".dll")) base.remove_suffix(4);
  return Lower(base) + ".so";
}

std::string FindLibraryInDirectory(const std::string& dir, std::string_view name) {
  std::string wanted = SharedObjectName(name);
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return "";
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (EqualsIgnoreCase(e->d_name, wanted)) {
      found = dir;
      if (!found.empty() && found.back() != kPathSeparator) found += kPathSeparator;
      found += e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

void* LoadLibrary(std::string_view name, std::string* error) {
  SetError(error, "");
  if (name.empty()) {
    SetError(error, "no library name given");
    return nullptr;
  }
  if (name.find(kPathSeparator) != std::string_view::npos) return Open(std::string(name), error);
  std::string local = FindLibraryInDirectory(ProgramDirectory(), name);
  if (!local.empty()) return Open(local, error);
  return Open(SharedObjectName(name), error);
}

void* GetProcAddress(void* library, const char* symbol, std::string* error) {
  if (!library) return nullptr;
  ::dlerror();
  void* p = ::dlsym(library, symbol);
  if (!p) {
    const char* err = ::dlerror();
    SetError(error, err ? err : (std::string("no symbol ") + symbol));
  }
  return p;
}

void* GetProcAddressWithImports(void* library, const char* symbol) {
  return GetProcAddress(library, symbol);  // dlsym searches the dependencies itself
}

void FreeLibrary(void* library) {
  if (library) ::dlclose(library);
}

std::string LibraryDirectoryOf(const void* address) {
  Dl_info info{};
  if (!::dladdr(address, &info) || !info.dli_fname) return "";
  return DirectoryPart(info.dli_fname);
}

}  // namespace platform
