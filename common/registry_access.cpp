#include "common/registry_access.h"

#include <cstdio>
#include <cstring>

#include "common/program_flavour.h"
#include "common/trace.h"

RegistryAccess::RegistryAccess(const char* root)
    : root_(root ? root : platform::kCurrentUserRoot) {}

void RegistryAccess::Fail(ErrorKind kind, char mode, const char* sub_path, long result) {
  error_kind_ = kind;
  last_result_ = result;
  if (CurrentProgramFlavour() != ProgramFlavour::kClient || !TracePath) return;
  char tag[32];
  ErrorText(tag);
  char payload[400];
  std::snprintf(payload, sizeof payload, "Subkey[%c]=%.300s RC=%ld(%04lx)", mode,
                sub_path ? sub_path : "", result, static_cast<unsigned long>(result) & 0xffffu);
  TraceWrite(TracePath, -1, payload, tag);
}

int RegistryAccess::Open(const char* sub_path, char mode) {
  std::string sub = sub_path ? sub_path : "";
  if (open_ && sub == sub_path_) return 0;
  open_ = false;
  enum_index_ = -1;
  long rc = mode == 'C' ? platform::RegCreateKey(sub, &key_) : platform::RegOpenKey(sub, &key_);
  if (rc != platform::kErrorSuccess) {
    Fail(kOpen, mode, sub_path, rc);
    return -1;
  }
  open_ = true;
  sub_path_ = sub;
  return 0;
}

const char* RegistryAccess::GetValue(const char* sub_path, const char* name, char mode) {
  if (Open(sub_path, mode) != 0) return nullptr;
  size_t size = kResultSize;
  long rc = platform::RegQueryValue(key_, name ? name : "", result_, &size);
  if (rc != platform::kErrorSuccess) {
    result_[0] = '\0';
    Fail(kGet, mode, sub_path, rc);
    return nullptr;
  }
  result_[kResultSize - 1] = '\0';
  return result_;
}

int RegistryAccess::PutValue(const char* sub_path, const char* name, const char* text, char mode) {
  if (Open(sub_path, mode) != 0) return -1;
  long rc = platform::RegSetValue(key_, name ? name : "", text ? text : "");
  if (rc != platform::kErrorSuccess) {
    Fail(kPut, mode, sub_path, rc);
    return -1;
  }
  return 0;
}

const char* RegistryAccess::Enumerate(const char* sub_path, char kind) {
  if (Open(sub_path, kind) != 0) return nullptr;
  unsigned index = static_cast<unsigned>(enum_index_ + 1);
  long rc;
  constexpr size_t kPart = kEnumNameLimit + 1;
  if (kind == 'V') {
    char name[kPart], data[kPart];
    size_t name_size = sizeof name, data_size = sizeof data;
    rc = platform::RegEnumValue(key_, index, name, &name_size, data, &data_size);
    if (rc == platform::kErrorSuccess) {
      std::memcpy(result_, name, name_size);
      std::memcpy(result_ + name_size, data, data_size);
    }
  } else {
    size_t name_size = kPart;
    rc = platform::RegEnumKey(key_, index, result_, &name_size);
  }
  if (rc == platform::kErrorNoMoreItems) {
    enum_index_ = -1;
    return nullptr;
  }
  if (rc != platform::kErrorSuccess) {
    enum_index_ = -1;
    Fail(kBrowse, kind, sub_path, rc);
    return nullptr;
  }
  enum_index_ = static_cast<int>(index);
  return result_;
}

const char* RegistryAccess::EnumerateKeys(const char* sub_path) {
  std::string sub = sub_path ? sub_path : "";
  if (!(open_ && sub == sub_path_)) {
    open_ = false;
    enum_index_ = -1;
    if (platform::RegOpenKey(sub, &key_) != platform::kErrorSuccess) return nullptr;
    open_ = true;
    sub_path_ = sub;
  }
  unsigned index = static_cast<unsigned>(enum_index_ + 1);
  size_t size = 64;
  if (platform::RegEnumKey(key_, index, result_, &size) != platform::kErrorSuccess) {
    enum_index_ = -1;
    return nullptr;
  }
  enum_index_ = static_cast<int>(index);
  return result_;
}

int RegistryAccess::DeleteKey(const char* sub_path) {
  if (CurrentProgramFlavour() != ProgramFlavour::kClient) return -1;
  std::string sub = sub_path ? sub_path : "";
  if (open_ && sub == sub_path_) open_ = false;  // the handle would be stale
  long rc = platform::RegDeleteKey(sub);
  if (rc != platform::kErrorSuccess) {
    Fail(kDelete, 'D', sub_path, rc);
    return -1;
  }
  return 0;
}

int RegistryAccess::ErrorText(char* buffer) const {
  if (buffer) {
    static const char* const kWords[] = {"NO", "Open", "Get", "Put", "Browse", "Delete"};
    const char* word = "Unknown";
    if (error_kind_ >= 0 && error_kind_ <= kDelete) word = kWords[error_kind_];
    // The configuration program's build has no delete, so no "Delete" word.
    if (error_kind_ == kDelete && CurrentProgramFlavour() == ProgramFlavour::kConfig)
      word = "Unknown";
    std::snprintf(buffer, 32, "Registry %s Error", word);
  }
  return error_kind_;
}
