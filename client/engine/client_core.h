// The client without its windows: state, message file, texts, host link and
// transfer engine, and the start-up and shut-down every front end shares.
#pragma once

#include <memory>
#include <string>

#include "client/engine/client_state.h"
#include "client/engine/interface_texts.h"
#include "client/engine/transfer_engine.h"
#include "common/message_file.h"
#include "common/trace.h"
#include "hostlink/host_connection.h"
#include "hostlink/host_services.h"

namespace client {

// The file the /D switch and the Debug Trace command start afresh.
constexpr const char kClientTraceFile[] = "QORPRTW.TRC";

struct ClientCore {
  // host, when given, stands in for the connection (tests' scripted hosts).
  explicit ClientCore(TransferHost* host = nullptr);
  ClientCore(const ClientCore&) = delete;
  ClientCore& operator=(const ClientCore&) = delete;
  ~ClientCore();

  common::Tracer trace;  // off until the command line (/D, --trace) starts it
  ClientState state;
  common::MessageFile messages;
  InterfaceTexts texts;
  hostlink::HostServices services;
  std::unique_ptr<hostlink::HostConnection> connection;
  // The engine's way to the host: the connection, looked up at each call.
  std::unique_ptr<TransferHost> connection_host = MakeConnectionHost(connection);
  TransferEngine engine;
  bool settings_loaded = false;  // the message file is open
};

// The command line, the host link on the settings, the message file and its
// texts, the trace's first lines and the transfer log on disk. program_dir
// replaces the program file's directory (tests). False when the message file
// cannot be opened (the message file has said why).
bool StartClient(ClientCore& core, int argc, const char* const* argv,
                 const std::string& program_dir);

// Shut-down in order: message file, host link (ends the emulator session),
// then the print font and device settings.
void EndClient(ClientCore& core);

}  // namespace client
