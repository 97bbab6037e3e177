#include "emulator/script_channel.h"

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

namespace emulator {

void ScriptChannel::attach(int fd, bool quick_ack) {
  close();
  fd_ = fd;
  quick_ack_ = quick_ack;
  int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
}

ScriptChannel::~ScriptChannel() { close(); }

void ScriptChannel::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  parser_ = ScriptReplyParser{};
}

ChannelResult ScriptChannel::run(const std::string& command, ScriptReply* reply,
                                 Deadline deadline, std::string* problem) {
  if (fd_ < 0) {
    *problem = "not connected to the emulator";
    return ChannelResult::Broken;
  }
  ChannelResult r = send_all(command + "\n", deadline, problem);
  if (r != ChannelResult::Ok) return r;
  return read_reply(reply, deadline, problem);
}

ChannelResult ScriptChannel::send_all(const std::string& bytes, Deadline deadline,
                                      std::string* problem) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd_, POLLOUT, 0};
      int ready = ::poll(&p, 1, deadline.poll_timeout());
      if (ready == 0) {
        *problem = "the emulator takes no more commands";
        return ChannelResult::TimedOut;
      }
      if (ready < 0 && errno != EINTR) {
        *problem = std::string("poll: ") + std::strerror(errno);
        return ChannelResult::Broken;
      }
      continue;
    }
    *problem = std::string("cannot write to the emulator: ") + std::strerror(n < 0 ? errno : EPIPE);
    return ChannelResult::Broken;
  }
  return ChannelResult::Ok;
}

ChannelResult ScriptChannel::read_reply(ScriptReply* reply, Deadline deadline,
                                        std::string* problem) {
  char buffer[8192];
  while (!parser_.next(reply)) {
    if (parser_.overflowed()) {
      *problem = "the emulator's reply is too long";
      return ChannelResult::Broken;
    }
    pollfd p{fd_, POLLIN, 0};
    int ready = ::poll(&p, 1, deadline.poll_timeout());
    if (ready == 0) {
      *problem = "no answer from the emulator in time";
      return ChannelResult::TimedOut;
    }
    if (ready < 0) {
      if (errno == EINTR) continue;
      *problem = std::string("poll: ") + std::strerror(errno);
      return ChannelResult::Broken;
    }
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
      if (quick_ack_) {
        int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
      }
      parser_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    *problem = n == 0 ? "the emulator closed the connection"
                      : std::string("cannot read from the emulator: ") + std::strerror(errno);
    return ChannelResult::Broken;
  }
  return ChannelResult::Ok;
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
    pollfd p{fd, POLLOUT, 0};
    int ready;
    do {
      ready = ::poll(&p, 1, deadline.poll_timeout());
    } while (ready < 0 && errno == EINTR);
    int err = ETIMEDOUT;
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
