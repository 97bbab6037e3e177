#include "common/trace.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/whole_file.h"

namespace common {

TraceFile::TraceFile(const char* file_name, TraceMode mode, const TraceSettings& settings)
    : flavour_(settings.flavour) {
  path_[0] = '\0';
  if (!file_name || !*file_name) return;
  std::string full;
  if (platform::LastSeparator(file_name) != std::string_view::npos) {
    full = file_name;
  } else {
    std::string dir;
    if (flavour_ == ProgramFlavour::kConfig && !settings.directory.empty())
      dir = settings.directory;
    else
      dir = platform::CurrentDirectory();
    if (dir.empty() || dir.size() >= kPathSize) return;
    if (!platform::IsPathSeparator(dir.back())) dir += platform::kPathSeparator;
    full = dir + file_name;
  }
  if (full.size() >= kPathSize) return;  // refused: tracing stays off
  std::memcpy(path_, full.c_str(), full.size() + 1);

  if (mode != TraceMode::kAppend) ::unlink(path_);
  if (flavour_ == ProgramFlavour::kConfig && mode != TraceMode::kFreshUnmarked)
    TraceWriteDate(this, "Trace Started");
}

int TraceAppend(const TraceFile* path, size_t count, const void* bytes) {
  if (!path || !path->Usable()) return -1;
  int fd = ::open(path->Path(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) fd = ::open(path->Path(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  bool written = platform::WriteAll(fd, static_cast<const char*>(bytes), count) == 0;
  bool closed = ::close(fd) == 0;
  if (!written) return -1;
  if (!closed) return path->Flavour() == ProgramFlavour::kConfig ? -2 : -1;
  return 0;
}

int TraceWrite(const TraceFile* path, long length, const void* payload, const char* tag) {
  if (!path) return -1;
  if (!payload) length = 0;
  size_t size =
      length < 0 ? std::strlen(static_cast<const char*>(payload)) : static_cast<size_t>(length);
  if (!tag) tag = "";
  std::vector<char> record(size + std::strlen(tag) + 64);
  platform::LocalTime now = platform::LocalNow();
  int header = std::snprintf(record.data(), record.size(), "\r\n<> %02d:%02d:%02d.%02d %s <>",
                             now.hour, now.minute, now.second, now.millisecond / 10, tag);
  if (header < 0) return -1;
  if (size) std::memcpy(record.data() + header, payload, size);
  return TraceAppend(path, static_cast<size_t>(header) + size, record.data());
}

int TraceWriteDate(const TraceFile* path, const char* text) {
  if (!path) return -1;
  platform::LocalTime now = platform::LocalNow();
  std::string record(64 + std::strlen(text ? text : ""), '\0');
  int n = std::snprintf(record.data(), record.size(), "\r\n<> %04d-%02d-%02d %s <>", now.year,
                        now.month, now.day, text ? text : "");
  if (n < 0) return -1;
  return TraceAppend(path, static_cast<size_t>(n), record.data());
}

void Tracer::SetDirectory(const char* directory) {
  settings_.directory = directory ? directory : "";
}

bool Tracer::Start(const char* file_name, TraceMode mode) {
  auto file = std::make_shared<TraceFile>(file_name, mode, settings_);
  if (!file->Usable()) return false;
  file_ = std::move(file);
  return true;
}

int Tracer::Write(const char* tag, const char* text) const {
  return file_.get() ? TraceWrite(file_.get(), -1, text, tag) : 0;
}

int Tracer::Write(const char* tag, const void* payload, long length) const {
  return file_.get() ? TraceWrite(file_.get(), length, payload, tag) : 0;
}

int Tracer::WriteDate(const char* text) const {
  return file_.get() ? TraceWriteDate(file_.get(), text) : 0;
}

int Tracer::Append(size_t count, const void* bytes) const {
  return file_.get() ? TraceAppend(file_.get(), count, bytes) : 0;
}

}  // namespace common
