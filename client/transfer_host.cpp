#include "client/transfer_host.h"

#include "client/client_app.h"
#include "hostlink/screen_transport.h"

namespace {

class ConnectionHost : public TransferHost {
 public:
  const char* GetScreen(char mode, size_t* length) override {
    CONNECT3270* conn = Conn();
    if (!conn) return nullptr;
    const char* text = ::GetScreen(conn, mode);
    if (length) *length = text ? conn->result.size() : 0;
    return text;
  }
  int SendData(const char* text) override { return Conn() ? ::SendData(Conn(), text) : -1; }
  int SendKeys(const char* keys) override { return Conn() ? ::SendKeys(Conn(), keys) : -1; }
  bool WaitForHostReply() override {
    CONNECT3270* conn = Conn();
    if (!conn) return false;
    ::WaitForHostReply(conn);
    // The wait's own result stays in the request block.
    return conn->connected && conn->request.result >= 1;
  }
  const char* ErrorText() override {
    const char* text = Conn() ? Conn()->ErrorText() : nullptr;
    return text ? text : "";
  }

 private:
  static CONNECT3270* Conn() { return g_app ? g_app->connection.get() : nullptr; }
};

TransferHost* g_test_host = nullptr;

}  // namespace

TransferHost* CurrentTransferHost() {
  static ConnectionHost connection_host;
  return g_test_host ? g_test_host : &connection_host;
}

void SetTransferHost(TransferHost* host) { g_test_host = host; }
