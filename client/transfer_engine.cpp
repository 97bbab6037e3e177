#include "client/transfer_engine.h"

#include "hostlink/qorconct.h"

#include "client/client_app.h"
#include "client/job_dialog.h"
#include "client/log_window.h"
#include "client/main_window.h"
#include "client/transfer_data.h"
#include "client/transfer_log.h"
#include "client/unattended.h"
#include "common/trace.h"
#include "hostlink/screen_transport.h"

// The host link reports the user's Cancel from its waits by this code.
static_assert(HostServices::kCancel == cmd::kCancel);

TransferEngine::TransferEngine(const std::unique_ptr<HostConnection>& connection)
    : connection_host_(MakeConnectionHost(connection)) {}

TransferEngine::~TransferEngine() = default;

void InstallTransferEngine(ClientApp& app) {
  // Menu commands stay live during a job (its waits dispatch events), but a
  // second conversation on the same host session would garble both.
  app.on_immediate = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      ImmediateTransfer(app);
  };
  app.on_unattended = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      UnattendedOperation(app);
  };
  app.on_transfer_log = [&app] { ShowTransferLog(app); };
  app.services.add_status_text = [&app](const std::string& text) { app.engine.log.AddStatusText(text); };
  // The host link's own boxes ("Timeout in LU2 loop") would stop unattended
  // operation until someone pressed OK: there they go to the status line and the log.
  auto box = app.services.show_message;
  app.services.show_message = [&app, box](const std::string& text, const std::string& title) {
    if (!app.state.unattended_active) {
      if (box) box(text, title);
      return;
    }
    // Failed connects while the host is away are summed up by unattended
    // operation's own lost and back entries.
    if (title == "Connection Error") {
      if (TracePath) TraceWrite(TracePath, -1, text.c_str(), "Connection Error");
      return;
    }
    app.engine.log.AddStatusText(title.empty() ? text : title + ": " + text);
    if (app.main_window) app.main_window->SetStatus(text);
  };
  if (app.connection) app.connection->length_prefix = app.state.cut_mode;
}
