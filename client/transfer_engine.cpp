#include "client/transfer_engine.h"

#include "client/client_app.h"
#include "client/job_dialog.h"
#include "client/log_window.h"
#include "client/transfer_log.h"
#include "client/unattended.h"
#include "hostlink/screen_transport.h"

void InstallTransferEngine(ClientApp& app) {
  app.on_immediate = [] { ImmediateTransfer(); };
  app.on_unattended = [] { UnattendedOperation(); };
  app.on_transfer_log = [&app] { ShowTransferLog(app); };
  app.services.add_status_text = [](const std::string& text) { AddStatusText(text); };
  SetLengthPrefixMode(app.state.cut_mode);
}
