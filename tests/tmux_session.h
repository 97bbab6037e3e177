// A program in a detached tmux session on a private server: keys go in with
// send-keys, the screen comes back with capture-pane.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

inline std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

class TmuxSession {
 public:
  TmuxSession() {
    char dir[] = "/tmp/qortmux.XXXXXX";
    if (mkdtemp(dir) != nullptr) {
      dir_ = dir;
      socket_ = dir_ + "/tmux";
    }
  }
  ~TmuxSession() {
    if (dir_.empty()) return;
    Shell(Tmux("kill-server") + " 2>/dev/null");
    unlink(socket_.c_str());
    rmdir(dir_.c_str());
  }
  bool ok() const { return !dir_.empty(); }
  std::string Tmux(const std::string& args) const {
    return "tmux -S " + socket_ + " -f /dev/null " + args;
  }
  // Starts command (run by sh) in a cols x rows terminal.
  void Start(const std::string& command, int cols = 100, int rows = 30) const {
    Shell(Tmux("new-session -d -x " + std::to_string(cols) + " -y " + std::to_string(rows) +
               " \"" + command + "\""));
  }
  std::string Capture() const { return Shell(Tmux("capture-pane -p")); }
  void Keys(const std::string& keys) const { Shell(Tmux("send-keys " + keys)); }
  // Polls the pane until it shows the text (or the time is up).
  bool WaitFor(const std::string& text, int seconds = 15) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (Capture().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  bool WaitGone(const std::string& text, int seconds = 15) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (Capture().find(text) == std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  std::string dir_;
  std::string socket_;
};
