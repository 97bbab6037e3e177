// A client on the headless display with the transfer engine installed and a
// scripted host in place of the connection: header screens, decoded blocks,
// stalls and failures on demand, and a record of what the client sent.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/engine/job_header.h"
#include "client/engine/transfer_engine.h"
#include "client/engine/transfer_host.h"
#include "client/engine/transfer_log.h"
#include "client/windows/client_app.h"
#include "client/windows/main_window.h"
#include "client/windows/window_front_end.h"
#include "hostlink/screen_transport.h"
#include "tests/client/client_fixture.h"

// What the scripted host answers to a data-screen read.
struct HostBlock {
  enum Kind { kData, kNull, kTimeout } kind = kData;
  std::string bytes;
  static HostBlock Data(std::string b) { return {kData, std::move(b)}; }
  static HostBlock End(std::string rest = {}) {
    return {kData, std::string(client::kEndMarker) + rest};
  }
  static HostBlock Null() { return {kNull, {}}; }
  static HostBlock Timeout() { return {kTimeout, {}}; }
};

class ScriptedHost : public client::TransferHost {
 public:
  std::string header;               // the 'P' screen ("" reads as null)
  std::deque<std::string> headers;  // when not empty: the next 'P' screens, then header
  std::function<void()> on_start;   // called when the client sends the start command
  std::function<void(const std::string&)> on_key;  // called with each key's name as it is sent
  int header_reads = 0;
  std::deque<HostBlock> blocks;     // the 'Y' screens, in order
  std::vector<std::string> sent;    // "data:..." and key names, in order
  long stall_after = -1;            // waits fail once this many blocks were read
  bool stall_after_cancel = false;  // no answer once PF3 came
  bool end_on_pf3 = true;           // PF3 makes the next screen the end marker
  long lose_after = -1;             // the session is gone once this many blocks were read
  bool lost = false;
  long blocks_read = 0;
  bool pf3_seen = false;
  int waits = 0;

  const char* GetScreen(hostlink::ScreenMode mode, size_t* length) override {
    if (mode == hostlink::ScreenMode::kRaw) {
      ++header_reads;
      if (!headers.empty()) {
        header = headers.front();
        headers.pop_front();
      }
      if (header.empty()) return Fail(length);
      screen_ = header;
      *length = screen_.size();
      return screen_.c_str();
    }
    if (blocks.empty()) return Fail(length);
    HostBlock b = blocks.front();
    blocks.pop_front();
    ++blocks_read;
    if (b.kind == HostBlock::kNull) return Fail(length);
    if (b.kind == HostBlock::kTimeout) {
      *length = 22;
      return hostlink::kLu2TimeoutText;
    }
    screen_ = b.bytes;
    *length = screen_.size();
    return screen_.c_str();
  }
  int SendData(const char* text) override {
    sent.push_back(std::string("data:") + text);
    if (on_start) on_start();
    return 1;
  }
  int SendKeys(const char* keys) override {
    std::string name = KeyName(keys);
    sent.push_back(name);
    if (on_key) on_key(name);
    if (name == "PF3") {
      pf3_seen = true;
      if (end_on_pf3) blocks.assign(1, HostBlock::End());
    }
    return 1;
  }
  Reply WaitForHostReply() override {
    ++waits;
    if (lose_after >= 0 && blocks_read >= lose_after) lost = true;
    if (lost) return Reply::kLost;
    if (stall_after >= 0 && blocks_read >= stall_after) return Reply::kTimedOut;
    if (stall_after_cancel && pf3_seen) return Reply::kTimedOut;
    return Reply::kAnswered;
  }
  bool SessionLost() override { return lost; }
  void ResetSession() override { sent.push_back("reset session"); }
  std::string ErrorText() override { return "link down"; }

  long Count(const std::string& what) const {
    long n = 0;
    for (const auto& s : sent) n += s == what;
    return n;
  }

  static std::string KeyName(const char* keys) {
    if (keys[0] != '~') return keys;
    switch (keys[1]) {
      case 3: return "Clear";
      case 7: return "PF3";
      case 10: return "PF6";
      case 11: return "PF7";
      case 42: return "Reset";
      default: return "key?";
    }
  }

 private:
  const char* Fail(size_t* length) {
    *length = 0;
    return nullptr;
  }
  std::string screen_;
};

// A header screen with its fields at their positions.
inline std::string HeaderScreen(const std::string& ident, char level = 'V',
                                const std::string& marker = "QORPRINT",
                                const std::string& lines = "       ",
                                const std::string& pages = "     ",
                                const std::string& prefix = "QOR",
                                const std::string& code = "LST") {
  std::string s(1920, ' ');
  auto put = [&](size_t pos, const std::string& text) { s.replace(pos, text.size(), text); };
  put(client::header_pos::kMarker, marker);
  s[client::header_pos::kLevel] = level;
  put(client::header_pos::kPrefix, prefix);
  put(client::header_pos::kIdent, ident.substr(0, 14));
  put(client::header_pos::kCode, code);
  put(client::header_pos::kLines, lines);
  put(client::header_pos::kPages, pages);
  return s;
}

class TransferTest : public ClientTest {
 protected:
  ScriptedHost host;  // outlives the app, whose engine talks to it
  std::unique_ptr<ClientApp> app;
  std::string downloads;

  void SetUp() override {
    ClientTest::SetUp();
    // Dialogs are answered by the script; the loops' polls find nothing else.
    display.SetFallback(tk::Event::Redisplay());
    app = MakeApp(&host);
    InstallTransferEngine(*app);
    app->OpenMainWindow();
    app->engine.log.Clear();
    app->engine.header = client::JobHeader{};
    downloads = dir / "downloads";
    std::filesystem::create_directory(downloads);
    app->state.download_dir = downloads;
  }
  void TearDown() override {
    if (app && app->main_window) app->wm.Remove(*app->main_window);
    app.reset();
    ClientTest::TearDown();
  }
  // The job named by host.header, parsed as a poll or F6 would.
  void ParseHeader() {
    ASSERT_EQ(client::ParseJobHeader(host.header.data(), host.header.size(), app->engine.header,
                                     app->state),
              0);
  }
  std::vector<std::string> LogLines() const { return client::TransferLogLines(app->engine.log); }
  // Searches the log's texts whole (the window shows 68 columns of each).
  bool LogHas(const std::string& text) const {
    for (const client::LogEntry& e : app->engine.log.Entries())
      if (e.text.find(text) != std::string::npos) return true;
    return false;
  }
};
