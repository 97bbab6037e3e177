#include "emulator/provider_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "emulator/sim_backend.h"
#include "emulator/emulator_backends.h"

namespace emulator {

std::unique_ptr<Backend> MakeBackend(const SessionLine& line, std::string* problem) {
  std::string host;
  int port = 0;
  switch (line.kind) {
    case SessionKind::Sim:
      return std::make_unique<SimBackend>(line.target, false);
    case SessionKind::S3270:
    case SessionKind::Script:
      if (!SplitHostPort(line.target, &host, &port)) {
        *problem = "\"" + line.target + "\" is not HOST:PORT";
        return nullptr;
      }
      return line.kind == SessionKind::S3270 ? StartEmulator(host, port, line.options, problem)
                                             : AttachToEmulator(host, port, problem);
  }
  *problem = "unknown session kind";
  return nullptr;
}

void ReportProviderError(const std::string& text) {
  std::string line = "qorprt emulator: " + text + "\n";
  int fd = 2;
  const char* log = std::getenv("QOR_EMULATOR_LOG");
  if (log && *log) fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;  // nowhere to report to; the program still gets its return code
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (fd != 2) ::close(fd);
}

HllapiCore& ProviderCore(StatusLayout layout) {
  static HllapiCore core(
      layout, [] { return LoadSessions(SessionsFilePath()); }, MakeBackend, ReportProviderError);
  return core;
}

}  // namespace emulator
