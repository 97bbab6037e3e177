#include "client/engine/transfer_host.h"

#include "hostlink/screen_transport.h"

namespace client {

namespace {

// A lost session is opened again only by a look for a new job (a raw screen
// read): inside a job a new session would show another conversation.
class ConnectionHost : public TransferHost {
 public:
  explicit ConnectionHost(const std::unique_ptr<hostlink::HostConnection>& connection)
      : connection_(connection) {}
  const char* GetScreen(hostlink::ScreenMode mode, size_t* length) override {
    hostlink::HostConnection* conn = Conn();
    if (!conn || (mode != hostlink::ScreenMode::kRaw && conn->Lost())) {
      if (length) *length = 0;
      return nullptr;
    }
    const char* text = hostlink::GetScreen(conn, mode);
    // A look for a job that finds the session gone (the host restarted since
    // the last one) opens a new one at once instead of reporting the old one.
    if (!text && mode == hostlink::ScreenMode::kRaw && conn->Lost())
      text = hostlink::GetScreen(conn, mode);
    if (length) *length = text ? conn->result.size() : 0;
    return text;
  }
  int SendData(const char* text) override {
    return Usable() ? hostlink::SendData(Conn(), text) : -1;
  }
  int SendKeys(const char* keys) override {
    return Usable() ? hostlink::SendKeys(Conn(), keys) : -1;
  }
  Reply WaitForHostReply() override {
    hostlink::HostConnection* conn = Conn();
    if (!Usable()) return Reply::kLost;
    hostlink::WaitForHostReply(conn);
    // The wait's own result stays in the request block.
    if (!conn->connected) return Reply::kLost;
    return conn->request.result >= 1 ? Reply::kAnswered : Reply::kTimedOut;
  }
  bool SessionLost() override { return Conn() && Conn()->Lost(); }
  int PauseForHost(int half_seconds) override {
    return Conn() ? hostlink::PauseForHost(Conn(), half_seconds) : -1;
  }
  void ResetSession() override {
    if (Conn()) Conn()->ResetSession();
  }
  std::string ScreenProblem() override { return Conn() ? Conn()->screen_problem : std::string(); }
  std::string ErrorText() override { return Conn() ? Conn()->ErrorText() : std::string(); }

 private:
  hostlink::HostConnection* Conn() const { return connection_.get(); }
  bool Usable() const { return Conn() && !Conn()->Lost(); }
  const std::unique_ptr<hostlink::HostConnection>& connection_;
};

}  // namespace

std::unique_ptr<TransferHost> MakeConnectionHost(
    const std::unique_ptr<hostlink::HostConnection>& connection) {
  return std::make_unique<ConnectionHost>(connection);
}

}  // namespace client
