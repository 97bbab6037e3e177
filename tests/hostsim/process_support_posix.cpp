// Child processes and loopback sockets for the host tests (POSIX).
#include "tests/hostsim/test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace testing_support {

bool wait_readable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, fd >= 0 ? 1 : 0, timeout_ms) > 0;
}

int free_loopback_port() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

bool make_loopback_certificate(const std::string& dir) {
  Child openssl(
      {"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
       "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
       "-keyout", dir + "/key.pem", "-out", dir + "/cert.pem"},
      dir + "/openssl.log");
  openssl.close_stdin();
  int status = -1;
  return openssl.wait_exit(30000, &status) && status == 0 && file_exists(dir + "/cert.pem") &&
         file_exists(dir + "/key.pem");
}

Child::Child(const std::vector<std::string>& argv, const std::string& stderr_path) {
  int to_child[2], from_child[2];
  if (::pipe2(to_child, O_CLOEXEC) != 0) return;
  if (::pipe2(from_child, O_CLOEXEC) != 0) {
    ::close(to_child[0]);
    ::close(to_child[1]);
    return;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(to_child[0], 0);
    ::dup2(from_child[1], 1);
    int err = ::open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) ::dup2(err, 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(to_child[0]);
  ::close(from_child[1]);
  in_ = to_child[1];
  out_ = from_child[0];
  if (pid_ < 0) {
    close_stdin();
    ::close(out_);
    out_ = -1;
  }
}

Child::~Child() {
  stop();
  close_stdin();
  if (out_ >= 0) ::close(out_);
}

bool Child::write_line(const std::string& line) {
  if (in_ < 0) return false;
  std::string data = line + "\n";
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(in_, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool Child::read_line(std::string* line, int timeout_ms) {
  const long long end = monotonic_ms() + timeout_ms;
  for (;;) {
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      *line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return true;
    }
    const long long left = end - monotonic_ms();
    if (out_ < 0 || left <= 0 || !wait_readable(out_, static_cast<int>(left))) return false;
    char buffer[65536];
    ssize_t n = ::read(out_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

void Child::close_stdin() {
  if (in_ >= 0) ::close(in_);
  in_ = -1;
}

bool Child::wait_exit(int timeout_ms, int* status) {
  if (pid_ <= 0) return true;
  const long long end = monotonic_ms() + timeout_ms;
  for (;;) {
    int st = 0;
    pid_t r = ::waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      if (status) *status = st;
      return true;
    }
    if (monotonic_ms() >= end) return false;
    wait_readable(-1, 10);
  }
}

void Child::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  if (!wait_exit(3000)) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

int connect_loopback(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

}  // namespace testing_support
