#include "hostsim/tls_transport.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace hostsim {
namespace {

// The queued OpenSSL errors as one line (and the queue emptied).
std::string SslErrors(const char* fallback) {
  std::string out;
  while (unsigned long e = ERR_get_error()) {
    char text[256];
    ERR_error_string_n(e, text, sizeof text);
    if (!out.empty()) out += "; ";
    out += text;
  }
  return out.empty() ? fallback : out;
}

class TlsTransport : public Transport {
 public:
  explicit TlsTransport(SSL* ssl) : ssl_(ssl) {}
  ~TlsTransport() override { SSL_free(ssl_); }

  long Read(uint8_t* buffer, std::size_t size) override {
    ERR_clear_error();
    want_write_ = false;
    const int n = SSL_read(ssl_, buffer, static_cast<int>(size));
    if (n > 0) return n;
    return Stalled(n, "the peer closed the TLS session");
  }
  long Write(const char* data, std::size_t size) override {
    ERR_clear_error();
    want_write_ = false;
    const int n = SSL_write(ssl_, data, static_cast<int>(size));
    if (n > 0) return n;
    return Stalled(n, "the TLS session failed");
  }
  bool WantsWrite() const override { return want_write_; }

 private:
  // 0 when the call only has to wait for the socket, -1 when the session is over.
  long Stalled(int result, const char* closed) {
    switch (SSL_get_error(ssl_, result)) {
      case SSL_ERROR_WANT_READ: return 0;
      case SSL_ERROR_WANT_WRITE: want_write_ = true; return 0;
      case SSL_ERROR_ZERO_RETURN: problem_ = closed; return -1;
      default: problem_ = "TLS: " + SslErrors(closed); return -1;
    }
  }

  SSL* ssl_;
  bool want_write_ = false;
};

}  // namespace

struct TlsContext::State {
  ~State() { SSL_CTX_free(ctx); }
  SSL_CTX* ctx = nullptr;
};

TlsContext::TlsContext(std::unique_ptr<State> state) : state_(std::move(state)) {}
TlsContext::~TlsContext() = default;

std::unique_ptr<TlsContext> TlsContext::Load(const std::string& certificate_file,
                                             const std::string& key_file, std::string* problem) {
  auto state = std::make_unique<State>();
  ERR_clear_error();
  state->ctx = SSL_CTX_new(TLS_server_method());
  if (!state->ctx) {
    *problem = SslErrors("cannot make a TLS context");
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(state->ctx, TLS1_2_VERSION);
  // The output buffer may move between a write that has to wait and its retry.
  SSL_CTX_set_mode(state->ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(state->ctx, certificate_file.c_str()) != 1) {
    *problem = certificate_file + ": " + SslErrors("not a PEM certificate");
    return nullptr;
  }
  if (SSL_CTX_use_PrivateKey_file(state->ctx, key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
    *problem = key_file + ": " + SslErrors("not a PEM private key");
    return nullptr;
  }
  if (SSL_CTX_check_private_key(state->ctx) != 1) {
    *problem = key_file + ": " + SslErrors("the key does not belong to the certificate");
    return nullptr;
  }
  return std::unique_ptr<TlsContext>(new TlsContext(std::move(state)));
}

std::unique_ptr<Transport> TlsContext::Accept(int fd, std::string* problem) {
  ERR_clear_error();
  SSL* ssl = SSL_new(state_->ctx);
  if (!ssl || SSL_set_fd(ssl, fd) != 1) {
    *problem = SslErrors("cannot start a TLS session");
    SSL_free(ssl);
    return nullptr;
  }
  SSL_set_accept_state(ssl);  // the handshake runs within the first reads and writes
  return std::make_unique<TlsTransport>(ssl);
}

}  // namespace hostsim
