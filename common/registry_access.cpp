#include "common/registry_access.h"

#include <cstdio>
#include <cstring>

#include "common/trace.h"

namespace common {

void RegistryAccess::Fail(ErrorKind kind, char letter, const char* sub_path, long result) {
  error_kind_ = kind;
  last_result_ = result;
  if (flavour_ != ProgramFlavour::kClient || !trace_ || !trace_->On()) return;
  char tag[32];
  ErrorText(tag);
  char payload[400];
  std::snprintf(payload, sizeof payload, "Subkey[%c]=%.300s RC=%ld(%04lx)", letter,
                sub_path ? sub_path : "", result, static_cast<unsigned long>(result) & 0xffffu);
  trace_->Write(tag, payload);
}

int RegistryAccess::Open(const char* sub_path, RegistryOpen mode) {
  return OpenAs(sub_path, mode == RegistryOpen::kCreate, static_cast<char>(mode));
}

int RegistryAccess::OpenAs(const char* sub_path, bool create, char letter) {
  std::string sub = sub_path ? sub_path : "";
  if (open_ && sub == sub_path_) return 0;
  open_ = false;
  enum_index_ = -1;
  long rc = create ? platform::RegCreateKey(sub, &key_) : platform::RegOpenKey(sub, &key_);
  if (rc != platform::kErrorSuccess) {
    Fail(kOpen, letter, sub_path, rc);
    return -1;
  }
  open_ = true;
  sub_path_ = sub;
  return 0;
}

const char* RegistryAccess::GetValue(const char* sub_path, const char* name, RegistryOpen mode) {
  if (Open(sub_path, mode) != 0) return nullptr;
  size_t size = kResultSize;
  long rc = platform::RegQueryValue(key_, name ? name : "", result_, &size);
  if (rc != platform::kErrorSuccess) {
    result_[0] = '\0';
    Fail(kGet, static_cast<char>(mode), sub_path, rc);
    return nullptr;
  }
  result_[kResultSize - 1] = '\0';
  return result_;
}

int RegistryAccess::PutValue(const char* sub_path, const char* name, const char* text,
                             RegistryOpen mode) {
  if (Open(sub_path, mode) != 0) return -1;
  long rc = platform::RegSetValue(key_, name ? name : "", text ? text : "");
  if (rc != platform::kErrorSuccess) {
    Fail(kPut, static_cast<char>(mode), sub_path, rc);
    return -1;
  }
  return 0;
}

const char* RegistryAccess::Enumerate(const char* sub_path, RegistryItems kind) {
  if (OpenAs(sub_path, false, static_cast<char>(kind)) != 0) return nullptr;
  unsigned index = static_cast<unsigned>(enum_index_ + 1);
  long rc;
  constexpr size_t kPart = kEnumNameLimit + 1;
  if (kind == RegistryItems::kValues) {
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
    Fail(kBrowse, static_cast<char>(kind), sub_path, rc);
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
  if (flavour_ != ProgramFlavour::kClient) return -1;
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
    if (error_kind_ == kDelete && flavour_ == ProgramFlavour::kConfig) word = "Unknown";
    std::snprintf(buffer, 32, "Registry %s Error", word);
  }
  return error_kind_;
}

}  // namespace common
