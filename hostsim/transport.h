// The byte stream of one accepted connection: the socket as it is, or TLS
// over it. Non-blocking both ways; the server polls the socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hostsim {

class Transport {
 public:
  virtual ~Transport() = default;
  // Bytes read (> 0), 0 when nothing can be read now, -1 when the stream
  // ended or failed (problem() says how).
  virtual long Read(uint8_t* buffer, std::size_t size) = 0;
  // Bytes taken (> 0), 0 when nothing can be written now, -1 on failure.
  virtual long Write(const char* data, std::size_t size) = 0;
  // The transport waits to write even with nothing of ours to send (a TLS
  // handshake or record under way).
  virtual bool WantsWrite() const { return false; }
  const std::string& Problem() const { return problem_; }

 protected:
  std::string problem_;
};

// The socket itself; fd stays the caller's.
std::unique_ptr<Transport> PlainTransport(int fd);

}  // namespace hostsim
