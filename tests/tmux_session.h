// A program in a detached tmux session on a private server: keys go in with
// send-keys, the screen comes back with capture-pane.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#include "tests/programs.h"

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

// Polls done() every 100 ms until it holds or the time is up.
template <class Done>
bool Eventually(Done done, int seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// The terminal type inside the pane: tmux's own where its description is
// installed (it knows modified function keys), else plain screen.
inline std::string PaneTerm() {
  static const std::string term =
      system("infocmp tmux-256color >/dev/null 2>&1") == 0 ? "tmux-256color" : "screen";
  return term;
}

class TmuxSession {
 public:
  // A private server on a socket in a fresh directory, removed afterwards.
  TmuxSession() {
    char dir[] = "/tmp/qortmux.XXXXXX";
    if (mkdtemp(dir) != nullptr) {
      dir_ = dir;
      socket_ = dir_ + "/tmux";
    }
  }
  ~TmuxSession() {
    if (dir_.empty()) return;
    Kill();
    unlink(socket_.c_str());
    rmdir(dir_.c_str());
  }
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  bool ok() const { return !dir_.empty(); }
  std::string Tmux(const std::string& args) const {
    return "tmux -S " + socket_ + " -f /dev/null " + args;
  }
  // Runs command (by sh) in a fresh cols x rows pane, in cwd when given.
  // A server that is still going away can refuse the new session: try again.
  void Start(const std::string& command, int cols = 100, int rows = 30,
             const std::string& cwd = "") const {
    Kill();  // one program at a time
    for (int attempt = 0; attempt < 3 && !Running(); ++attempt) {
      Shell(Tmux("new-session -d -x " + std::to_string(cols) + " -y " + std::to_string(rows) +
                 (cwd.empty() ? "" : " -c " + cwd) + " \"" + command + "\"") +
            " 2>/dev/null");
    }
  }
  bool Running() const { return system((Tmux("has-session") + " 2>/dev/null").c_str()) == 0; }
  // Ends the server and waits until it has gone.
  void Kill() const {
    Shell(Tmux("kill-server") + " 2>/dev/null");
    Poll([&] { return !Running(); }, 5);
  }
  std::string Capture() const { return Shell(Tmux("capture-pane -p")); }
  void Keys(const std::string& keys) const { Shell(Tmux("send-keys " + keys)); }
  void Type(const std::string& text) const { Shell(Tmux("send-keys -l '" + text + "'")); }

  // Polls the pane until it shows the text (or the time is up).
  bool WaitFor(const std::string& text, int seconds = 15) const {
    return Poll([&] { return Capture().find(text) != std::string::npos; }, seconds);
  }
  bool WaitGone(const std::string& text, int seconds = 15) const {
    return Poll([&] { return Capture().find(text) == std::string::npos; }, seconds);
  }

  // The pane row that holds text ("" if none).
  std::string Row(const std::string& text) const {
    std::string pane = Capture();
    size_t at = pane.find(text);
    if (at == std::string::npos) return "";
    size_t start = pane.rfind('\n', at);
    start = start == std::string::npos ? 0 : start + 1;
    return pane.substr(start, pane.find('\n', at) - start);
  }
  // Cell of the first occurrence of text in the pane, {-1, -1} if absent.
  std::pair<int, int> Locate(const std::string& text) const {
    std::string pane = Capture();
    size_t at = pane.find(text);
    if (at == std::string::npos) return {-1, -1};
    size_t line_start = pane.rfind('\n', at);
    line_start = line_start == std::string::npos ? 0 : line_start + 1;
    int y = static_cast<int>(std::count(pane.begin(), pane.begin() + line_start, '\n'));
    int x = 0;  // count characters, not bytes: frames are UTF-8
    for (size_t i = line_start; i < at; ++i)
      if ((static_cast<unsigned char>(pane[i]) & 0xc0) != 0x80) ++x;
    return {x, y};
  }
  // A left click in the terminal's own mouse report format (X10: ESC [ M b x y).
  void Click(std::pair<int, int> cell) const {
    char hex[128];
    std::snprintf(hex, sizeof hex, "1b 5b 4d 20 %02x %02x 1b 5b 4d 23 %02x %02x", cell.first + 33,
                  cell.second + 33, cell.first + 33, cell.second + 33);
    Shell(Tmux(std::string("send-keys -H ") + hex));
  }

 private:
  template <class Cond>
  static bool Poll(Cond done, int seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::string dir_;
  std::string socket_;
};
