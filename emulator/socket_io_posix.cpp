#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "emulator/client_stop.h"
#include "emulator/script_channel.h"
#include "emulator/socket_io.h"

namespace emulator {

void MakeNonBlocking(int socket) {
  int flags = ::fcntl(socket, F_GETFL);
  if (flags >= 0) ::fcntl(socket, F_SETFL, flags | O_NONBLOCK);
}

void CloseSocket(int socket) { ::close(socket); }

SocketIo SendSome(int socket, const char* data, std::size_t size, std::size_t* sent,
                  std::string* problem) {
  for (;;) {
    ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL);
    if (n > 0) {
      *sent = static_cast<std::size_t>(n);
      return SocketIo::kDone;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return SocketIo::kAgain;
    *problem = std::strerror(n < 0 ? errno : EPIPE);
    return SocketIo::kFailed;
  }
}

SocketIo ReceiveSome(int socket, char* buffer, std::size_t size, std::size_t* received,
                     std::string* problem) {
  ssize_t n = ::recv(socket, buffer, size, 0);
  if (n > 0) {
    *received = static_cast<std::size_t>(n);
    return SocketIo::kDone;
  }
  if (n == 0) return SocketIo::kClosed;
  if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) return SocketIo::kAgain;
  *problem = std::strerror(errno);
  return SocketIo::kFailed;
}

namespace {

// Polls the socket and the client's stop together: 1 the socket is ready, 0
// the deadline passed, kWaitStopped, or -1 with errno set.
int PollWithStop(int socket, short events, Deadline deadline) {
  const int stop = ClientStopFd();
  for (;;) {
    pollfd p[2] = {{socket, events, 0}, {stop, POLLIN, 0}};
    int ready = ::poll(p, stop >= 0 ? 2 : 1, deadline.PollTimeout());
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return -1;
    if (stop >= 0 && (p[1].revents & (POLLIN | POLLHUP))) return kWaitStopped;
    if (ready > 0) return 1;
    if (deadline.Passed()) return 0;
  }
}

}  // namespace

int WaitSocket(int socket, bool for_write, Deadline deadline, std::string* problem) {
  int ready = PollWithStop(socket, static_cast<short>(for_write ? POLLOUT : POLLIN), deadline);
  if (ready == kWaitStopped) *problem = "stopped";
  if (ready == -1) *problem = std::string("poll: ") + std::strerror(errno);
  return ready;
}

// The emulator writes each reply line separately; a delayed ACK would hold
// every reply back by tens of milliseconds. Linux forgets TCP_QUICKACK, so
// it is set again after every read.
void AfterTcpRead(int socket) {
  int one = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
}

bool MakeAcksPrompt(int socket) {
  AfterTcpRead(socket);
  return true;
}

int ConnectTcp(const std::string& host, int port, Deadline deadline, std::string* problem) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;  // script ports are local: "localhost" resolves at once
  addrinfo* found = nullptr;
  std::string h = host;
  if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
  int gai = ::getaddrinfo(h.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (gai != 0 || !found) {
    *problem = "cannot resolve \"" + host + "\"";
    return -1;
  }
  int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *problem = std::string("socket: ") + std::strerror(errno);
    ::freeaddrinfo(found);
    return -1;
  }
  int rc = ::connect(fd, found->ai_addr, found->ai_addrlen);
  ::freeaddrinfo(found);
  if (rc < 0 && errno == EINPROGRESS) {
    int ready = PollWithStop(fd, POLLOUT, deadline);
    if (ready == kWaitStopped) {
      *problem = "stopped";
      ::close(fd);
      return -1;
    }
    int err = ready < 0 ? errno : ETIMEDOUT;
    socklen_t len = sizeof err;
    if (ready > 0) ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
    rc = err == 0 ? 0 : -1;
    errno = err;
  }
  if (rc < 0) {
    *problem = "cannot reach the emulator at " + host + ":" + std::to_string(port) + " (" +
               std::strerror(errno) + ")";
    ::close(fd);
    return -1;
  }
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
  return fd;
}

}  // namespace emulator
