// TLS for qorhost (OpenSSL): one server context with the certificate and key,
// and a Transport per accepted connection. The port then speaks TLS only, as
// a production TN3270 server's secure port does.
#pragma once

#include <memory>
#include <string>

#include "hostsim/transport.h"

namespace hostsim {

class TlsContext {
 public:
  // Reads a PEM certificate (chain) and its private key. Null with the reason
  // when they cannot be used.
  static std::unique_ptr<TlsContext> Load(const std::string& certificate_file,
                                          const std::string& key_file, std::string* problem);
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  // The TLS side of an accepted, non-blocking socket (fd stays the caller's).
  // Null with the reason when no session can be made.
  std::unique_ptr<Transport> Accept(int fd, std::string* problem);

 private:
  struct State;
  explicit TlsContext(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace hostsim
