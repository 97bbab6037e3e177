// Dynamic loading with the Windows-style names kept in settings and messages:
// "QOR32PCS.DLL" finds qor32pcs.so in the program's directory.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// "QOR32PCS.DLL" -> "qor32pcs.so"; a name that already ends in ".so" is kept
// (lower-cased); other names get ".so" appended.
std::string SharedObjectName(std::string_view windows_name);

// Finds, in dir, the entry whose name equals SharedObjectName(name) ignoring
// letter case. Returns the full path or "".
std::string FindLibraryInDirectory(const std::string& dir, std::string_view name);

// A name with a '/' is loaded as it stands. Otherwise the program directory is
// searched as above, then the normal dlopen search for the mapped name.
// Returns null on failure, with the reason in *error when given.
void* LoadLibrary(std::string_view name, std::string* error = nullptr);
void* GetProcAddress(void* library, const char* symbol, std::string* error = nullptr);
// The symbol in library or, failing that, in the libraries it imports, the
// search Linux makes for GetProcAddress too: how a program reaches a
// provider's entry points through the adapter that carries the provider.
void* GetProcAddressWithImports(void* library, const char* symbol);
void FreeLibrary(void* library);

// The directory, ending in a separator, of the library (or program) that holds
// address; "" when the system cannot say.
std::string LibraryDirectoryOf(const void* address);

}  // namespace platform
