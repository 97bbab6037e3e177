#include "platform/stop_signals.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace platform {

namespace {

// A signal handler reaches nothing else: these are its whole world.
StopEvent* volatile g_event = nullptr;
volatile sig_atomic_t g_signals = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[3];

extern "C" void OnStopSignal(int signo) {
  if (g_signals > 0) _exit(128 + signo);  // asked twice: at once
  g_signals = 1;
  if (StopEvent* event = g_event) event->Set();
}

}  // namespace

StopSignals::StopSignals() {
  g_event = &event_;
  g_signals = 0;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int k = 0; k < 3; ++k) sigaction(kSignals[k], &action, &g_previous[k]);
  // The emulator providers wait inside calls we cannot interrupt; they poll
  // this pipe with their own descriptors and give up at once when it is set.
  if (event_.Waitable() >= 0) setenv("QOR_STOP_FD", std::to_string(event_.Waitable()).c_str(), 1);
}

StopSignals::~StopSignals() {
  unsetenv("QOR_STOP_FD");
  for (int k = 0; k < 3; ++k) sigaction(kSignals[k], &g_previous[k], nullptr);
  g_event = nullptr;
}

}  // namespace platform
