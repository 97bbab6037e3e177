// The registry calls on the real Windows registry under HKEY_CURRENT_USER.
// Keys are opened per call and closed again, as the file-backed version reads
// afresh: another program's writes are seen at once.
#include "platform/registry.h"

#include <algorithm>
#include <cstring>

#include "platform/registry_copy.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

constexpr size_t kRootLength = sizeof "HKEY_CURRENT_USER" - 1;

// "HKEY_CURRENT_USER\SOFTWARE\X" -> "SOFTWARE\X".
std::string SubPathOf(const RegKey& key) {
  if (key.path.size() <= kRootLength + 1) return "";
  return key.path.substr(kRootLength + 1);
}

std::string FullPath(const std::string& sub_path) {
  std::string full = kCurrentUserRoot;
  if (!sub_path.empty()) full += "\\" + sub_path;
  return full;
}

bool ValidText(const std::string& s) {
  for (char c : s)
    if (c == '\0' || c == '\r' || c == '\n') return false;
  return true;
}

class OpenKey {
 public:
  OpenKey(const std::string& sub_path, REGSAM access) {
    rc_ = RegOpenKeyExA(HKEY_CURRENT_USER, sub_path.c_str(), 0, access, &key_);
  }
  ~OpenKey() {
    if (rc_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  long Rc() const { return rc_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
  long rc_;
};

// String data as stored, without the terminating NUL the writer may have kept.
std::string StringData(const std::string& raw) {
  size_t end = raw.find('\0');
  return end == std::string::npos ? raw : raw.substr(0, end);
}

}  // namespace

std::string RegistryFilePath() { return ""; }

std::string RegistryProblem() { return ""; }

// The system keeps the registry: there is no file that could be damaged.
std::string RegistryFileProblem() { return ""; }

std::string RegistryValueLocation(const RegKey& key, const std::string& name) {
  return "value " + name + " of " + key.path;
}

long RegCreateKey(const std::string& sub_path, RegKey* key) {
  if (sub_path.empty() || !ValidText(sub_path)) return kErrorInvalidParameter;
  HKEY handle;
  long rc =
      RegCreateKeyExA(HKEY_CURRENT_USER, sub_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &handle, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  RegCloseKey(handle);
  key->path = FullPath(sub_path);
  return kErrorSuccess;
}

long RegOpenKey(const std::string& sub_path, RegKey* key) {
  if (!sub_path.empty()) {
    OpenKey open(sub_path, KEY_READ);
    if (open.Rc() != ERROR_SUCCESS) return open.Rc();
  }
  key->path = FullPath(sub_path);
  return kErrorSuccess;
}

long RegQueryValue(const RegKey& key, const std::string& name, char* data, size_t* size) {
  OpenKey open(SubPathOf(key), KEY_QUERY_VALUE);
  if (open.Rc() != ERROR_SUCCESS) return open.Rc();
  DWORD bytes = 0;
  long rc = RegQueryValueExA(open.Get(), name.c_str(), nullptr, nullptr, nullptr, &bytes);
  if (rc != ERROR_SUCCESS) return rc;
  std::string raw(bytes, '\0');
  rc = RegQueryValueExA(open.Get(), name.c_str(), nullptr, nullptr,
                        reinterpret_cast<BYTE*>(raw.data()), &bytes);
  if (rc != ERROR_SUCCESS) return rc;
  raw.resize(bytes);
  return CopyOut(StringData(raw), data, size);
}

long RegSetValue(const RegKey& key, const std::string& name, const std::string& text) {
  if (!ValidText(name) || !ValidText(text)) return kErrorInvalidParameter;
  OpenKey open(SubPathOf(key), KEY_SET_VALUE);
  if (open.Rc() != ERROR_SUCCESS) return open.Rc();
  return RegSetValueExA(open.Get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size()) + 1);
}

// The caller's buffers go to the system as they are: its limits on name
// lengths are the ones that apply.
long RegEnumValue(const RegKey& key, unsigned index, char* name, size_t* name_size, char* data,
                  size_t* data_size) {
  OpenKey open(SubPathOf(key), KEY_QUERY_VALUE);
  if (open.Rc() != ERROR_SUCCESS) return open.Rc();
  DWORD name_chars = static_cast<DWORD>(*name_size);
  DWORD data_bytes = static_cast<DWORD>(*data_size);
  long rc = RegEnumValueA(open.Get(), index, name, &name_chars, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(data), &data_bytes);
  if (rc == ERROR_MORE_DATA) {
    // The caller reads again with the sizes the key's longest name and value need.
    DWORD longest_name = 0, longest_data = 0;
    if (RegQueryInfoKeyA(open.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest_name, &longest_data, nullptr, nullptr) == ERROR_SUCCESS) {
      *name_size = std::max<size_t>(*name_size, size_t{longest_name} + 1);
      *data_size = std::max<size_t>(*data_size, size_t{longest_data} + 1);
    }
    return kErrorMoreData;
  }
  if (rc != ERROR_SUCCESS) return rc;
  *name_size = name_chars + 1;
  // A value written without its NUL still reads back as a string.
  if (data_bytes == 0 || data[data_bytes - 1] != '\0') {
    if (data_bytes >= *data_size) {
      *data_size = data_bytes + 1;
      return kErrorMoreData;
    }
    data[data_bytes++] = '\0';
  }
  *data_size = data_bytes;
  return kErrorSuccess;
}

long RegEnumKey(const RegKey& key, unsigned index, char* name, size_t* name_size) {
  OpenKey open(SubPathOf(key), KEY_ENUMERATE_SUB_KEYS);
  if (open.Rc() != ERROR_SUCCESS) return open.Rc();
  DWORD chars = static_cast<DWORD>(*name_size);
  long rc = RegEnumKeyExA(open.Get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  *name_size = chars + 1;
  return kErrorSuccess;
}

long RegDeleteKey(const std::string& sub_path) {
  if (sub_path.empty()) return kErrorAccessDenied;
  return RegDeleteKeyA(HKEY_CURRENT_USER, sub_path.c_str());
}

long RegDeleteTree(const std::string& sub_path) {
  if (sub_path.empty()) return kErrorAccessDenied;
  return RegDeleteTreeA(HKEY_CURRENT_USER, sub_path.c_str());
}

}  // namespace platform
