// The host operations a transfer uses. The running client talks to the host
// through its connection; tests put a scripted host in its place.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "hostlink/screen_transport.h"

namespace hostlink {
class HostConnection;
}  // namespace hostlink

namespace client {

class TransferHost {
 public:
  virtual ~TransferHost() = default;
  // A screen, raw or decoded, valid until the next call;
  // null when it cannot be read, or kLu2TimeoutText. length gets its size.
  virtual const char* GetScreen(hostlink::ScreenMode mode, size_t* length) = 0;
  virtual int SendData(const char* text) = 0;
  virtual int SendKeys(const char* keys) = 0;
  enum class Reply { kAnswered, kTimedOut, kLost };
  // Waits until the host has painted a new screen (kAnswered), the
  // connection's time-out ran out (kTimedOut) or the session is gone (kLost).
  virtual Reply WaitForHostReply() = 0;
  // The connection's last error text ("" when none).
  virtual std::string ErrorText() = 0;
  // True from the moment an operation found the session gone until it is
  // open again (the next operation that needs it opens it).
  virtual bool SessionLost() { return false; }
  // Blocks up to half_seconds / 2 seconds for the host to change the screen:
  // 1 it did, 0 it did not, -1 there is no session, kCannotPause when this
  // host cannot tell (the caller then waits its own way).
  static constexpr int kCannotPause = -2;
  virtual int PauseForHost(int /*half_seconds*/) { return kCannotPause; }
  // Ends the session so that the host gives up a job it was sending and
  // offers it again on the next one.
  virtual void ResetSession() {}
  // Why the last data screen cannot be trusted, "" when nothing is wrong.
  virtual std::string ScreenProblem() { return {}; }
};

// The host behind a connection (which may come and go: it is looked up at each call).
std::unique_ptr<TransferHost> MakeConnectionHost(
    const std::unique_ptr<hostlink::HostConnection>& connection);

// Key strings: '~' and the key's code byte.
namespace host_keys {
constexpr const char kClear[] = {'~', 3, 0};
constexpr const char kPf3[] = {'~', 7, 0};
constexpr const char kPf6[] = {'~', 10, 0};
constexpr const char kPf7[] = {'~', 11, 0};
constexpr const char kReset[] = {'~', 42, 0};
}  // namespace host_keys

constexpr const char kStartCommand[] = "0009,=         ;";
constexpr const char kEndMarker[] = "$-+ENDPRINT+-$";
constexpr size_t kEndMarkerLength = 14;

}  // namespace client
