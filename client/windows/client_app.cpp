#include "client/windows/client_app.h"

#include "client/windows/job_dialog.h"
#include "client/windows/log_window.h"
#include "client/windows/message_dialog.h"
#include "client/windows/unattended_dialog.h"
#include "client/windows/window_front_end.h"

namespace client::windows {

ClientApp::ClientApp(tk::Display& d, TransferHost* host)
    : ClientCore(host), display(d), queue(&d), wm(d, queue), help{wm, messages, texts} {
  services.pump_event = [this](int timeout_ms) { return PumpEvent(timeout_ms); };
  services.show_message = [this](const std::string& text, const std::string& title) {
    ShowDialog(text, title, 0);
  };
  services.add_status_text = [](const std::string&) {};
}

ClientApp::~ClientApp() = default;

void ClientApp::OpenMainWindow() {
  main_window = std::make_unique<MainWindow>(ui, *this, commands, trace, state);
  main_window->Center(wm.ScreenSize());
  wm.Add(*main_window);
}

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
  if (!main_window) return;
  main_window->SetStatus(text);
  wm.Redraw();
}

int ClientApp::ShowDialog(const std::string& text, const std::string& title, unsigned buttons) {
  std::string copy = text;
  return MessageDialog(wm, texts, copy, title, buttons);
}

int ClientApp::ShowMessage(const std::string& text, const char* help_key, unsigned buttons) {
  if (state.unattended_active) {
    SetStatus(text);
    return cmd::kOk;
  }
  if (help_key) buttons |= kButtonHelp;
  int result = ShowDialog(text, "", buttons);
  if (result == cmd::kHelp && help_key) ShowHelp(help, help_key);
  return result;
}

int ClientApp::ReportMessage(const char* key, const char* prefix, const char* help_key) {
  std::string text = engine.MessageReport(key, prefix);
  return text.empty() ? 0 : ShowMessage(text, help_key, kButtonOk);
}

// The exit command belongs to the main window, which turns it into the
// program-end request: that ends the dialogs open and then the main loop.
void ClientApp::RequestProgramEnd() {
  if (main_window && wm.Contains(*main_window))
    queue.Put(tk::Event::Command(cmd::kExit, main_window->Id()));
  else
    wm.RequestEnd();
}

void InstallTransferEngine(ClientApp& app) {
  app.front_end = std::make_unique<WindowFrontEnd>(app.ui, app.queue, app, app.engine);
  app.engine.SetFrontEnd(app.front_end.get());
  // Menu commands stay live during a job (its waits dispatch events), but a
  // second conversation on the same host session would garble both.
  app.commands.immediate = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      ImmediateTransfer(app.work);
  };
  app.commands.unattended = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      UnattendedOperation(app.work);
  };
  app.commands.transfer_log = [&app] { ShowTransferLog(app.printer); };
  app.engine.ServeHostLink(app.services);
}

}  // namespace client::windows
