#include "client/windows/client_app.h"

#include "client/windows/message_dialog.h"

ClientApp::ClientApp(tk::Display& d, TransferHost* host)
    : ClientCore(host), display(d), queue(&d), wm(d, queue), help{wm, messages, texts} {
  services.pump_event = [this](int timeout_ms) { return PumpEvent(timeout_ms); };
  services.show_message = [this](const std::string& text, const std::string& title) {
    ShowDialog(*this, text, title, 0);
  };
  services.add_status_text = [](const std::string&) {};
}

ClientApp::~ClientApp() = default;

int ClientApp::PumpEvent(int timeout_ms) {
  tk::Event e;
  if (!queue.Wait(e, timeout_ms)) return 0;
  if (e.kind == tk::EventKind::kQuit) {
    wm.Dispatch(e);  // recorded: the loops end once the work in hand returns
    return hostlink::HostServices::kQuit;
  }
  tk::DispatchResult r = wm.Dispatch(e);
  wm.Redraw();
  return r.code;
}

void ClientApp::SetStatus(const std::string& text) {
  if (!status_line) return;
  status_line->SetText(text);
  wm.Redraw();
}

int ShowDialog(ClientApp& app, const std::string& text, const std::string& title,
               unsigned buttons) {
  std::string copy = text;
  return MessageDialog(app.wm, app.texts, copy, title, buttons);
}

int ShowMessage(ClientApp& app, const std::string& text, const char* help_key, unsigned buttons) {
  if (app.state.unattended_active) {
    app.SetStatus(text);
    return cmd::kOk;
  }
  if (help_key) buttons |= kButtonHelp;
  int result = ShowDialog(app, text, "", buttons);
  if (result == cmd::kHelp && help_key) ShowHelp(app.help, help_key);
  return result;
}

int ReportMessage(ClientApp& app, const char* key, const char* prefix, const char* help_key) {
  std::string text = app.engine.MessageReport(key, prefix);
  return text.empty() ? 0 : ShowMessage(app, text, help_key, kButtonOk);
}
