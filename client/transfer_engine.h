// The transfer engine's state for the run, owned by the client: the last job
// header, the running counts, the transfer log, whether a job runs, the poll
// period and the host it talks to; and the hooks that tie it into the client
// (IMMEDIATE, UNATTEND, LOG, the host link's status texts).
#pragma once

#include <cstdint>
#include <memory>

#include "client/job_header.h"
#include "client/transfer_host.h"
#include "client/transfer_log.h"

class HostConnection;
struct ClientApp;

// Running counts of the current job, reset when a job starts.
struct TransferCounts {
  int32_t lines = 0;       // line feeds
  int32_t pages = 0;       // form feeds
  int32_t characters = 0;  // bytes up to each block's first zero byte
};

class TransferEngine {
 public:
  // The connection is the client's; the engine reaches the host through it.
  explicit TransferEngine(const std::unique_ptr<HostConnection>& connection);
  ~TransferEngine();

  JobHeader header;
  TransferCounts counts;
  TransferLog log;
  // A job's block loop runs: the host session carries one conversation at a
  // time, so no second job may start from inside its waits.
  bool running = false;
  // The longest time between two unattended looks at the host screen.
  int poll_seconds = 15;
  // A host in place of the connection (tests); null for the connection.
  TransferHost* test_host = nullptr;

  TransferHost& host() { return test_host ? *test_host : *connection_host_; }

 private:
  std::unique_ptr<TransferHost> connection_host_;
};

void InstallTransferEngine(ClientApp& app);
