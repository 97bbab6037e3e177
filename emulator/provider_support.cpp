#include "emulator/provider_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/json_text.h"
#include "emulator/emulator_backends.h"
#include "emulator/sim_backend.h"
#include "platform/clock.h"
#include "platform/whole_file.h"

namespace emulator {

std::unique_ptr<Backend> MakeBackend(const SessionLine& line, std::string* problem) {
  std::string host;
  int port = 0;
  switch (line.kind) {
    case SessionKind::kSim: return std::make_unique<SimBackend>(line.target, false);
    case SessionKind::kS3270:
    case SessionKind::kScript:
      if (!SplitHostPort(line.target, &host, &port)) {
        *problem = "\"" + line.target + "\" is not HOST:PORT";
        return nullptr;
      }
      return line.kind == SessionKind::kS3270 ? StartEmulator(host, port, line.options, problem)
                                              : AttachToEmulator(host, port, problem);
  }
  *problem = "unknown session kind";
  return nullptr;
}

std::string PrintableText(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    // A whole UTF-8 sequence (a path with accents) is text; a stray byte is not.
    std::size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 1;
    bool sequence = length > 1 && i + length <= text.size();
    for (std::size_t k = 1; sequence && k < length; ++k)
      sequence = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    if (sequence) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
    ++i;
  }
  return out;
}

void ReportProviderError(const std::string& text) {
  platform::LocalTime t = platform::LocalNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string line = stamp + ("qorprt emulator: " + PrintableText(text)) + "\n";
  const char* log = std::getenv("QOR_EMULATOR_LOG");
  if (!log || !*log) {
    // A client logging JSON Lines on standard error keeps every line JSON.
    const char* format = std::getenv(common::kLogFormatVariable);
    if (format && std::strcmp(format, "json") == 0)
      line = "{\"time\":\"" + common::UtcTimestamp(common::UnixNow()) +
             "\",\"kind\":\"emulator\",\"text\":" + common::JsonString(text) + "}\n";
    platform::WriteAll(2, line);
    return;
  }
  int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  int error = fd < 0 ? errno : 0;
  if (fd >= 0) {
    if (int e = platform::WriteAll(fd, line)) error = e;
    if (::close(fd) != 0 && error == 0) error = errno;
  }
  // A log that cannot take the text does not swallow it: standard error does.
  if (error != 0)
    platform::WriteAll(2, stamp +
                              ("qorprt emulator: cannot write " + PrintableText(log) + " (" +
                               std::strerror(error) + "): ") +
                              line.substr(std::strlen(stamp)));
}

HllapiCore& ProviderCore(StatusLayout layout) {
  static HllapiCore core(
      layout, [] { return LoadSessions(SessionsFilePath()); }, MakeBackend, ReportProviderError);
  return core;
}

}  // namespace emulator
