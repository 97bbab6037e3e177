#include "platform/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace platform {

namespace {

// A signal handler reaches nothing else: these are its whole world.
int g_write_fd = -1;
volatile sig_atomic_t g_signals = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[3];

extern "C" void OnStopSignal(int signo) {
  if (g_signals > 0) _exit(128 + signo);  // asked twice: at once
  g_signals = 1;
  char byte = static_cast<char>(signo);
  if (g_write_fd >= 0) (void)!write(g_write_fd, &byte, 1);
}

}  // namespace

StopSignals::StopSignals() {
  int fds[2];
  if (pipe(fds) != 0) return;
  for (int fd : fds) fcntl(fd, F_SETFD, FD_CLOEXEC);
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  read_fd_ = fds[0];
  g_write_fd = fds[1];
  g_signals = 0;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int k = 0; k < 3; ++k) sigaction(kSignals[k], &action, &g_previous[k]);
}

StopSignals::~StopSignals() {
  if (read_fd_ < 0) return;
  for (int k = 0; k < 3; ++k) sigaction(kSignals[k], &g_previous[k], nullptr);
  close(g_write_fd);
  close(read_fd_);
  g_write_fd = -1;
}

}  // namespace platform
