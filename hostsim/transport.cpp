#include "hostsim/transport.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace hostsim {
namespace {

class PlainSocket : public Transport {
 public:
  explicit PlainSocket(int fd) : fd_(fd) {}
  long Read(uint8_t* buffer, std::size_t size) override {
    for (;;) {
      ssize_t n = ::recv(fd_, buffer, size, 0);
      if (n > 0) return n;
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
      problem_ = n == 0 ? "end of stream" : std::strerror(errno);
      return -1;
    }
  }
  long Write(const char* data, std::size_t size) override {
    for (;;) {
      ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
      if (n >= 0) return n;
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
      problem_ = std::strerror(errno);
      return -1;
    }
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<Transport> PlainTransport(int fd) { return std::make_unique<PlainSocket>(fd); }

}  // namespace hostsim
