#include "client/engine/client_core.h"

#include <cstdio>

#include "client/engine/client_command_line.h"
#include "client/engine/settings_store.h"
#include "common/trace.h"
#include "platform/config_file.h"

namespace client {

ClientCore::ClientCore(TransferHost* host)
    : engine(state, messages, texts, host ? *host : *connection_host, trace) {
  state.printing.tracer = &trace;
  services.message_text = [this](const char* key) -> std::string {
    const char* text = messages.MessageText(key, common::MessageFile::TextLife::kUntilNextLookup);
    return text ? text : "";
  };
}

ClientCore::~ClientCore() = default;

bool StartClient(ClientCore& core, int argc, const char* const* argv,
                 const std::string& program_dir) {
  ClientState& st = core.state;
  ApplyCommandLine(argc, argv, st);
  // main starts it before the start checks; tests come straight here.
  if (!core.trace.On()) StartCommandLineTrace(st, core.trace);
  if (!program_dir.empty()) st.program_dir = program_dir;

  // Settings: the host link reads its own; the message file is required.
  ProgramFiles files = DeriveProgramFiles(st.program_dir, st.program_name);
  core.connection =
      std::make_unique<hostlink::HostConnection>(files.settings, &core.services, core.trace);
  core.settings_loaded = core.messages.MessageFileOpen(files.messages.c_str()) == 1;
  st.unattended_active = false;
  st.to_printer = false;
  st.current_print_job.reset();
  core.texts.Load(core.messages);
  st.ascii_option = true;
  if (core.trace.On()) {
    char line[160];
    std::snprintf(line, sizeof line, "%s (NT) diskette:%d.%d.%d.%d\r\n", st.program_name.c_str(), 2,
                  0, 0, 3);
    core.trace.Write("PROGRAM", line);
    const hostlink::HostConnection& c = *core.connection;
    std::string kind = c.session_type ? std::string(1, c.session_type) : "";
    std::snprintf(line, sizeof line, "LU2 session=%c timeout=%d DLL=%.64s EMU=%s\r\n",
                  c.SessionLetter(), c.timeout, c.library_name.c_str(), kind.c_str());
    core.trace.Write("CONNECT", line);
  }
  // What the run logs is kept on disk too, for whoever looks after the machine.
  if (std::string log = platform::StateFilePath("QOR_TRANSFER_LOG", "transfer.log"); !log.empty())
    core.engine.log.KeepOnDisk(log);
  core.connection->length_prefix = st.cut_mode;
  return core.settings_loaded;
}

void EndClient(ClientCore& core) {
  core.messages.Close();
  core.connection.reset();
  core.state.printing.selection.printer_font.reset();
  core.state.printing.selection.printer_devmode.reset();
}

}  // namespace client
