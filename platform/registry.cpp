#include "platform/registry.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/config_file.h"
#include "platform/registry_copy.h"
#include "platform/registry_document.h"
#include "platform/whole_file.h"

namespace platform {
namespace {

std::string FullPath(const std::string& sub_path) {
  std::string full = kCurrentUserRoot;
  if (!sub_path.empty()) full += "\\" + sub_path;
  return full;
}

long Load(RegistryDocument* doc) {
  std::string text;
  int err = ReadWholeFile(RegistryFilePath(), &text);
  if (err != 0 && err != ENOENT) return kErrorAccessDenied;
  *doc = RegistryDocument::Parse(text);
  return kErrorSuccess;
}

// Holds the advisory lock that serialises changes between processes.
class ChangeLock {
 public:
  ChangeLock() {
    std::string path = RegistryFilePath();
    MakeFileDirectory(path, ConfigFileSharing());
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    // flock has no time-out: try, and sleep briefly between tries, for 10 s.
    const uint64_t deadline = MonotonicMs() + 10000;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK || MonotonicMs() >= deadline) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
      ::poll(nullptr, 0, 5);
    }
    locked_ = true;
  }
  ~ChangeLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  bool Locked() const { return locked_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
};

template <typename Change>
long Modify(Change change) {
  ChangeLock lock;
  if (!lock.Locked()) return kErrorLockTimeout;
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  if (!doc.Problems().empty()) return kErrorBadDatabase;
  if (long rc = change(doc); rc != kErrorSuccess) return rc;
  int err = ReplaceFileAtomically(RegistryFilePath(), doc.Serialize(), ConfigFileSharing());
  return err == 0 ? kErrorSuccess : kErrorWriteFault;
}

bool ValidText(const std::string& s) {
  for (char c : s)
    if (c == '\0' || c == '\r' || c == '\n') return false;
  return true;
}

}  // namespace

std::string RegistryFilePath() { return ConfigFilePath("QOR_REGISTRY", "registry.reg"); }

std::string RegistryProblem() {
  RegistryDocument doc;
  if (Load(&doc) != kErrorSuccess) return "";
  std::string problem;
  for (const auto& p : doc.Problems()) {
    problem += problem.empty() ? RegistryFilePath() + ": " : "; ";
    problem += p;
  }
  return problem;
}

std::string RegistryFileProblem() {
  const std::string path = RegistryFilePath();
  std::string text;
  if (int err = ReadWholeFile(path, &text); err == ENOENT)
    return "";
  else if (err != 0)
    return path + ": cannot be read: " + std::strerror(err);
  if (text.find_first_not_of(" \t\r\n") == std::string::npos)
    return path + ": line 1: the file is empty";
  const RegistryDocument doc = RegistryDocument::Parse(text);
  const std::vector<std::string>& problems = doc.Problems();
  if (problems.empty()) return "";
  std::string out = path + ": " + problems.front();
  if (problems.size() > 1)
    out += " (and " + std::to_string(problems.size() - 1) + " more lines that cannot be read)";
  return out;
}

std::string RegistryValueLocation(const RegKey& key, const std::string& name) {
  RegistryDocument doc;
  if (Load(&doc) == kErrorSuccess)
    if (const RegistryKey* k = doc.FindKey(key.path))
      if (const RegistryValue* v = RegistryDocument::FindValue(*k, name); v && v->line > 0)
        return RegistryFilePath() + ": line " + std::to_string(v->line);
  return RegistryFilePath();
}

long RegCreateKey(const std::string& sub_path, RegKey* key) {
  if (sub_path.empty() || !ValidText(sub_path)) return kErrorInvalidParameter;
  std::string full = FullPath(sub_path);
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  if (!doc.KeyExists(full)) {
    long rc = Modify([&](RegistryDocument& d) {
      d.CreateKey(full);
      return kErrorSuccess;
    });
    if (rc != kErrorSuccess) return rc;
  }
  key->path = full;
  return kErrorSuccess;
}

long RegOpenKey(const std::string& sub_path, RegKey* key) {
  std::string full = FullPath(sub_path);
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  if (!sub_path.empty() && !doc.KeyExists(full)) return kErrorFileNotFound;
  key->path = full;
  return kErrorSuccess;
}

long RegQueryValue(const RegKey& key, const std::string& name, char* data, size_t* size) {
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  const RegistryKey* k = doc.FindKey(key.path);
  if (!k) return kErrorFileNotFound;
  const RegistryValue* v = RegistryDocument::FindValue(*k, name);
  if (!v) return kErrorFileNotFound;
  return CopyOut(v->data, data, size);
}

long RegSetValue(const RegKey& key, const std::string& name, const std::string& text) {
  if (!ValidText(name) || !ValidText(text)) return kErrorInvalidParameter;
  return Modify([&](RegistryDocument& doc) {
    if (!doc.KeyExists(key.path)) return kErrorFileNotFound;  // deleted meanwhile
    RegistryDocument::SetValue(doc.CreateKey(key.path), name, text);
    return kErrorSuccess;
  });
}

long RegEnumValue(const RegKey& key, unsigned index, char* name, size_t* name_size, char* data,
                  size_t* data_size) {
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  const RegistryKey* k = doc.FindKey(key.path);
  if (!k) return doc.KeyExists(key.path) ? kErrorNoMoreItems : kErrorFileNotFound;
  if (index >= k->values.size()) return kErrorNoMoreItems;
  const RegistryValue& v = k->values[index];
  long rc_name = CopyOut(v.name, name, name_size);
  long rc_data = CopyOut(v.data, data, data_size);
  return rc_name != kErrorSuccess ? rc_name : rc_data;
}

long RegEnumKey(const RegKey& key, unsigned index, char* name, size_t* name_size) {
  RegistryDocument doc;
  if (long rc = Load(&doc); rc != kErrorSuccess) return rc;
  if (!doc.KeyExists(key.path)) return kErrorFileNotFound;
  std::vector<std::string> subs = doc.SubKeys(key.path);
  if (index >= subs.size()) return kErrorNoMoreItems;
  return CopyOut(subs[index], name, name_size);
}

long RegDeleteKey(const std::string& sub_path) {
  if (sub_path.empty()) return kErrorAccessDenied;
  std::string full = FullPath(sub_path);
  return Modify([&](RegistryDocument& doc) {
    if (doc.HasSubKeys(full)) return kErrorAccessDenied;
    return doc.DeleteKey(full) ? kErrorSuccess : kErrorFileNotFound;
  });
}

long RegDeleteTree(const std::string& sub_path) {
  if (sub_path.empty()) return kErrorAccessDenied;
  std::string full = FullPath(sub_path);
  return Modify([&](RegistryDocument& doc) {
    if (!doc.KeyExists(full)) return kErrorFileNotFound;
    std::vector<std::string> doomed;
    for (const RegistryKey& k : doc.Keys())
      if (EqualsIgnoreCase(k.path, full) ||
          (k.path.size() > full.size() && k.path[full.size()] == '\\' &&
           EqualsIgnoreCase(std::string_view(k.path).substr(0, full.size()), full)))
        doomed.push_back(k.path);
    for (const std::string& path : doomed) doc.DeleteKey(path);
    return kErrorSuccess;
  });
}

}  // namespace platform
