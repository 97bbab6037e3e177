#include "client/engine/job_name.h"

#include <dirent.h>
#include <sys/stat.h>

#include <unistd.h>
#include <cstring>

#include "common/trace.h"
#include "platform/paths.h"

namespace client {

namespace {

constexpr char kSep = platform::kPathSeparator;

// Where the file name starts and where its extension (from its first dot) starts.
void SplitName(const std::string& path, size_t* name_at, size_t* ext_at) {
  size_t sep = path.rfind(kSep);
  *name_at = sep == std::string::npos ? 0 : sep + 1;
  size_t dot = path.find('.', *name_at);
  *ext_at = dot == std::string::npos ? path.size() : dot;
}

long LeadingNumber(const char* text) {
  while (*text == ' ') ++text;
  long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value > 100000000L) break;  // far beyond any numbering in use
    value = value * 10 + (*text - '0');
  }
  return value;
}

}  // namespace

std::string BuildTargetPath(const std::string& download_dir, const std::string& file_name) {
  std::string target = download_dir;
  if (target.size() >= 3 && target.compare(target.size() - 3, 3, "*.*") == 0)
    target.resize(target.size() - 3);
  if (target.empty() || target.back() != kSep) target += kSep;
  return target + file_name;
}

std::string NumberTarget(const std::string& target) {
  size_t name_at, ext_at;
  SplitName(target, &name_at, &ext_at);
  // Every entry named base + "." + anything counts, files and directories
  // alike, hidden or read-only; the base is compared as it stands (a job
  // name may hold '*' or '?').
  const std::string prefix = target.substr(name_at, ext_at - name_at) + ".";
  std::string dir = name_at == 0 ? "." : target.substr(0, name_at);
  long highest = 0;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) != 0) continue;
      long n = LeadingNumber(e->d_name + prefix.size());
      if (n > highest) highest = n;
    }
    ::closedir(d);
  }
  return target.substr(0, ext_at) + "." + std::to_string(highest + 1);
}

void ChangeToTargetDirectory(const std::string& path, const common::Tracer& trace) {
  size_t sep = path.rfind(kSep);
  if (sep == std::string::npos) return;
  std::string dir = sep == 0 ? std::string(1, kSep) : path.substr(0, sep);
  if (::chdir(dir.c_str()) != 0) trace.Write("chdir failed", dir.c_str());
}

}  // namespace client
