#include "hostsim/host_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

namespace hostsim {
namespace {

constexpr std::size_t kLargestBacklog = 1u
                                        << 20;  // unread output beyond this: give up on the client

long long NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

struct HostServer::Client {
  Client(unsigned id, int fd, std::unique_ptr<Transport> transport, Spool& spool,
         const ServerOptions& options, LuRegistry& lus, LogSink log)
      : id(id),
        fd(fd),
        transport(std::move(transport)),
        connection(spool, options.session, FaultsFor(id, options.faults), std::move(log),
                   WireOptions{&options.code_page, options.model, options.offer_tn3270e, &lus}) {}
  static FaultPlan FaultsFor(unsigned id, FaultPlan plan) {
    plan.random_stream = id;
    return plan;
  }
  unsigned id;
  int fd;
  std::unique_ptr<Transport> transport;
  Tn3270Connection connection;
  std::string output;
  std::string why;             // what the transport said when it failed
  long long screen_time = -1;  // when the due screen goes out; -1: none scheduled
  bool closed = false;
};

HostServer::HostServer(ServerOptions options, LogSink log)
    : options_(std::move(options)),
      log_(std::move(log)),
      spool_(options_.spool_directory, options_.spool) {}

HostServer::~HostServer() {
  for (Client& c : clients_) {
    if (!c.closed) CloseClient(c, "server stops");
  }
  if (listener_ >= 0) ::close(listener_);
}

void HostServer::LogFor(unsigned id, const std::string& line) const {
  if (log_) log_("[" + std::to_string(id) + "] " + line);
}

bool HostServer::Listen(std::string* problem) {
  if (!options_.tls_certificate.empty() || !options_.tls_key.empty()) {
    tls_ = TlsContext::Load(options_.tls_certificate, options_.tls_key, problem);
    if (!tls_) return false;
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    *problem = std::string("cannot listen: socket: ") + std::strerror(errno);
    return false;
  }
  int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(options_.port));
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0) {
    *problem =
        "cannot listen on 127.0.0.1:" + std::to_string(options_.port) + ": " + std::strerror(errno);
    return false;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  return true;
}

void HostServer::AcceptClients() {
  for (;;) {
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // EAGAIN, or a connection that vanished before we got to it
    if (clients_.size() >= options_.max_connections) {
      if (log_) log_("connection refused: too many sessions");
      ::close(fd);
      continue;
    }
    // Screens are single small writes; without this each waits for a delayed ACK.
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const unsigned id = next_id_++;
    std::string why;
    std::unique_ptr<Transport> transport = tls_ ? tls_->Accept(fd, &why) : PlainTransport(fd);
    if (!transport) {
      LogFor(id, "connection refused: " + why);
      ::close(fd);
      continue;
    }
    LogSink sink = [this, id](const std::string& line) { LogFor(id, line); };
    clients_.emplace_back(id, fd, std::move(transport), spool_, options_, lus_, std::move(sink));
    Client& c = clients_.back();
    c.output = c.connection.Opening();
    LogFor(id, "connected");
  }
}

bool HostServer::ReadFrom(Client& client) {
  uint8_t buffer[8192];
  for (;;) {
    const long n = client.transport->Read(buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      client.why = client.transport->Problem();
      return false;
    }
    client.connection.Receive(buffer, static_cast<std::size_t>(n));
    client.output += client.connection.TakeReplies();
  }
}

bool HostServer::WriteTo(Client& client) {
  while (!client.output.empty()) {
    const long n = client.transport->Write(client.output.data(), client.output.size());
    if (n == 0) return true;
    if (n < 0) {
      client.why = client.transport->Problem();
      return false;
    }
    client.output.erase(0, static_cast<std::size_t>(n));
  }
  return true;
}

void HostServer::CloseClient(Client& client, const char* why) {
  client.connection.Closed();
  client.transport.reset();
  ::close(client.fd);
  client.closed = true;
  LogFor(client.id,
         std::string("closed: ") + why + (client.why.empty() ? "" : " (" + client.why + ")"));
}

// Sends the screens that are due and what waits to be written; returns when
// a screen is due next (no later than wake).
long long HostServer::ServeScreens(long long now, long long wake) {
  for (Client& c : clients_) {
    if (c.connection.ScreenDue() && c.screen_time < 0)
      c.screen_time = now + options_.faults.delay_ms;
    if (c.screen_time >= 0 && now >= c.screen_time) {
      c.screen_time = -1;
      std::string record;
      switch (c.connection.TakeScreen(&record)) {
        case Tn3270Connection::ScreenAction::kSend: c.output += record; break;
        case Tn3270Connection::ScreenAction::kDrop: CloseClient(c, "dropped on purpose"); break;
        case Tn3270Connection::ScreenAction::kHold: break;
      }
    }
    if (c.screen_time >= 0) wake = std::min(wake, c.screen_time);
    if (!c.closed && !c.output.empty() && !WriteTo(c)) CloseClient(c, "write failed");
    if (!c.closed && c.output.size() > kLargestBacklog) CloseClient(c, "terminal does not read");
  }
  clients_.remove_if([](const Client& c) { return c.closed; });
  return wake;
}

void HostServer::ServeReady(const std::vector<pollfd>& fds) {
  if (fds[0].revents & POLLIN) AcceptClients();
  std::size_t i = 1;
  for (Client& c : clients_) {
    if (i >= fds.size()) break;  // accepted during this round: polled next time
    const short revents = fds[i++].revents;
    if (c.closed || revents == 0) continue;
    // A TLS read may be waiting for room to write (its handshake), so a
    // writable socket is a reason to read as well.
    if ((revents & (POLLIN | POLLHUP | POLLERR | POLLOUT)) && !ReadFrom(c)) {
      CloseClient(c, "terminal disconnected");
      continue;
    }
    if (c.connection.WantsClose()) {
      WriteTo(c);
      CloseClient(c, "negotiation failed");
      continue;
    }
    if ((revents & POLLOUT) && !WriteTo(c)) CloseClient(c, "write failed");
  }
}

void HostServer::Run(const volatile sig_atomic_t* stop, const sigset_t* wait_mask) {
  long long next_job_poll = NowMs() + options_.job_poll_ms;
  std::vector<pollfd> fds;
  while (!*stop) {
    long long now = NowMs();
    if (now >= next_job_poll) {
      for (Client& c : clients_) c.connection.LookForJob();
      next_job_poll = now + options_.job_poll_ms;
    }
    const long long wake = ServeScreens(now, next_job_poll);
    fds.clear();
    fds.push_back(pollfd{listener_, POLLIN, 0});
    for (Client& c : clients_) {
      short events = POLLIN;
      if (!c.output.empty() || c.transport->WantsWrite()) events |= POLLOUT;
      fds.push_back(pollfd{c.fd, events, 0});
    }
    const long long wait = std::max(0LL, wake - now);
    timespec timeout{static_cast<time_t>(wait / 1000), static_cast<long>(wait % 1000) * 1000000};
    const int ready = ::ppoll(fds.data(), fds.size(), &timeout, wait_mask);
    if (ready > 0) ServeReady(fds);  // else a time-out, or a signal that may have set *stop
  }
}

}  // namespace hostsim
