#include "common/file_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace common {

FileDirectory::FileDirectory(const char* path_or_pattern, unsigned mask)
    : filter_((mask >> 8) & 0xffu) {
  pattern_ = path_or_pattern ? path_or_pattern : "";
  if (!pattern_.empty() && platform::IsPathSeparator(pattern_.back())) pattern_ += "*.*";
  if (pattern_.size() >= kPatternSize) pattern_.clear();  // refused: lists nothing
  size_t slash = platform::LastSeparator(pattern_);
  if (slash == std::string::npos) {
    directory_ = ".";
    name_pattern_ = pattern_;
  } else {
    directory_ = slash == 0 ? pattern_.substr(0, 1) : pattern_.substr(0, slash);
    if (directory_.back() == ':')
      directory_ += pattern_[slash];  // a drive's root, not its current directory
    name_pattern_ = pattern_.substr(slash + 1);
  }
}

FileDirectory::~FileDirectory() {
  if (search_) ::closedir(search_);
}

bool FileDirectory::Passes(const std::string& full_path, const char* name, bool* matched) {
  std::string entry = name;
  *matched = false;
  if (entry == ".") return false;
  if (!platform::MatchPattern(name_pattern_, entry)) return false;
  *matched = true;
  struct stat st;
  if (::stat(full_path.c_str(), &st) != 0 && ::lstat(full_path.c_str(), &st) != 0) return false;
  bool is_dir = S_ISDIR(st.st_mode);
  bool hidden = entry[0] == '.' && entry != "..";
  // Like the Windows attribute: a property of the file, whoever looks at it.
  bool read_only = (st.st_mode & S_IWUSR) == 0;
  if (hidden && !(filter_ & 0x04)) return false;
  if (read_only && !(filter_ & 0x10)) return false;
  if (is_dir) {
    if (!(filter_ & 0x80)) return false;
  } else if (filter_ & 0xC0) {
    return false;
  }
  size_ = is_dir ? 0 : static_cast<long long>(st.st_size);
  return true;
}

const char* FileDirectory::Next() {
  if (pattern_.empty()) return nullptr;
  if (!started_) {
    started_ = true;
    search_ = ::opendir(directory_.c_str());
  }
  if (!search_) return nullptr;
  while (dirent* e = ::readdir(search_)) {
    bool matched;
    std::string full = directory_ + platform::kPathSeparator + e->d_name;
    if (Passes(full, e->d_name, &matched)) {
      current_ = e->d_name;
      return current_.c_str();
    }
  }
  ::closedir(search_);
  search_ = nullptr;
  return nullptr;
}

long long FileDirectory::GetSingle() {
  if (pattern_.empty()) return -1;
  DIR* d = ::opendir(directory_.c_str());
  if (!d) return -1;
  bool any_match = false;
  long long result = -1;
  while (dirent* e = ::readdir(d)) {
    bool matched;
    std::string full = directory_ + platform::kPathSeparator + e->d_name;
    if (Passes(full, e->d_name, &matched)) {
      result = size_;
      break;
    }
    any_match = any_match || matched;
  }
  ::closedir(d);
  if (result >= 0) return result;
  return any_match ? 0 : -1;
}

}  // namespace common
