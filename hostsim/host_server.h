// qorhost's network side: a TN3270 server on the loopback interface that runs
// one HostSession per connection, all in one thread around poll().
#pragma once

#include <poll.h>
#include <signal.h>

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/ebcdic.h"
#include "hostsim/fault_plan.h"
#include "hostsim/host_session.h"
#include "hostsim/lu_registry.h"
#include "hostsim/spool.h"
#include "hostsim/tls_transport.h"
#include "hostsim/tn3270_connection.h"

namespace hostsim {

struct ServerOptions {
  int port = 0;  // 0: the system picks one
  std::string spool_directory;
  SpoolOptions spool;
  SessionOptions session;
  FaultPlan faults;
  int job_poll_ms = 1000;  // how often idle sessions look for new jobs
  std::size_t max_connections = 32;
  CodePage code_page;  // for everything painted and read
  int model = 2;       // data screens on this model's alternate screen
  bool offer_tn3270e = true;
  std::string tls_certificate, tls_key;  // both set: the port speaks TLS only
};

class HostServer {
 public:
  HostServer(ServerOptions options, LogSink log);
  ~HostServer();
  HostServer(const HostServer&) = delete;
  HostServer& operator=(const HostServer&) = delete;

  // Loads the TLS certificate if any, binds 127.0.0.1 and listens. False
  // with the reason on failure.
  bool Listen(std::string* problem);
  int Port() const { return port_; }
  // Serves until *stop is set. Signals are taken only while waiting:
  // wait_mask is the signal mask in force then (see ppoll).
  void Run(const volatile sig_atomic_t* stop, const sigset_t* wait_mask);

 private:
  struct Client;
  void AcceptClients();
  long long ServeScreens(long long now, long long wake);
  void ServeReady(const std::vector<pollfd>& fds);
  bool ReadFrom(Client& client);
  bool WriteTo(Client& client);
  void CloseClient(Client& client, const char* why);
  void LogFor(unsigned id, const std::string& line) const;

  ServerOptions options_;
  LogSink log_;
  Spool spool_;
  LuRegistry lus_;  // before the clients, whose LU names it holds
  std::unique_ptr<TlsContext> tls_;
  int listener_ = -1;
  int port_ = 0;
  unsigned next_id_ = 1;
  std::list<Client> clients_;
};

}  // namespace hostsim
