#include "client_app.h"

#include <cstdio>

#include "client/about_window.h"
#include "client/interface_windows.h"
#include "client/main_window.h"
#include "client/message_dialog.h"
#include "client/printer_dialog.h"
#include "client/printer_selection.h"
#include "client/settings_store.h"
#include "client/transfer_engine.h"
#include "common/trace.h"
#include "platform/config_file.h"

ClientApp::ClientApp(tk::Display& d)
    : display(d), queue(&d), wm(d, queue), help{wm, messages, texts} {
  services.pump_event = [this](int timeout_ms) { return PumpEvent(timeout_ms); };
  services.show_message = [this](const std::string& text, const std::string& title) {
    ShowDialog(*this, text, title, 0);
  };
  services.add_status_text = [](const std::string&) {};
  services.message_text = [this](const char* key) -> std::string {
    const char* text = messages.MessageText(key, 'N');
    return text ? text : "";
  };
}

ClientApp::~ClientApp() = default;

int ClientApp::PumpEvent(int timeout_ms) {
  tk::Event e;
  if (!queue.Wait(e, timeout_ms)) return 0;
  if (e.kind == tk::EventKind::kQuit) {
    wm.Dispatch(e);  // recorded: the loops end once the work in hand returns
    return HostServices::kQuit;
  }
  tk::DispatchResult r = wm.Dispatch(e);
  wm.Redraw();
  return r.code;
}

int ShowDialog(ClientApp& app, const std::string& text, const std::string& title, unsigned buttons) {
  std::string copy = text;
  return MessageDialog(app.wm, app.texts, copy, title, buttons);
}

int ShowMessage(ClientApp& app, const std::string& text, const char* help_key, unsigned buttons) {
  if (app.state.unattended_active) {
    if (app.main_window) app.main_window->SetStatus(text);
    return cmd::kOk;
  }
  if (help_key) buttons |= kButtonHelp;
  int result = ShowDialog(app, text, "", buttons);
  if (result == cmd::kHelp && help_key) ShowHelp(app.help, help_key);
  return result;
}

int ReportMessage(ClientApp& app, const char* key, const char* prefix, const char* help_key) {
  if (app.messages.MessageFind(key) == 0) return 0;
  std::string text = prefix ? prefix : "";
  text += "\n";
  for (const std::string& line : app.messages.MessageLines(key)) text += line + "\n";
  text.pop_back();  // one final line feed
  return ShowMessage(app, text, help_key, kButtonOk);
}

int RunClient(int argc, const char* const* argv, tk::Display& display,
              const std::string& program_dir) {
  ClientApp app(display);
  ApplyCommandLine(argc, argv, app.state);
  if (!program_dir.empty()) app.state.program_dir = program_dir;

  // Settings: the host link reads its own; the message file is required.
  ProgramFiles files = DeriveProgramFiles(app.state.program_dir, app.state.program_name);
  app.connection = std::make_unique<HostConnection>(files.settings, &app.services);
  app.messages.SetShowFailure([&app](const char* text) { ShowDialog(app, text, "", 0); });
  app.settings_loaded = app.messages.MessageFileOpen(files.messages.c_str()) == 1;
  app.state.unattended_active = false;
  app.state.to_printer = false;
  app.state.current_print_job.reset();
  app.texts.Load(app.messages);
  app.state.ascii_option = true;
  if (TracePath) {
    char line[160];
    std::snprintf(line, sizeof line, "%s (NT) diskette:%d.%d.%d.%d\r\n",
                  app.state.program_name.c_str(), 2, 0, 0, 3);
    TraceWrite(TracePath, -1, line, "PROGRAM");
    const HostConnection& c = *app.connection;
    std::string kind = c.session_type ? std::string(1, c.session_type) : "";
    std::snprintf(line, sizeof line, "LU2 session=%c timeout=%d DLL=%.64s EMU=%s\r\n",
                  c.SessionLetter(), c.timeout, c.library_name.c_str(), kind.c_str());
    TraceWrite(TracePath, -1, line, "CONNECT");
  }

  // What the run logs is kept on disk too, for whoever looks after the machine.
  if (std::string log = platform::StateFilePath("QOR_TRANSFER_LOG", "transfer.log"); !log.empty())
    app.engine.log.KeepOnDisk(log);
  InstallPrintServices(app);
  InstallTransferEngine(app);
  app.on_interface_settings = [&app] { RunInterfaceSettingsWindow(app); };
  app.on_session_parameters = [&app] { RunSessionParametersWindow(app); };
  app.main_window = std::make_unique<MainWindow>(app);
  app.main_window->Center(app.wm.screen_size());
  app.wm.Add(*app.main_window);
  RunAboutWindow(app, "BMPhello", false);
  if (app.settings_loaded) app.wm.Run();

  // Shut-down in order: message file, host link (ends the emulator session),
  // then the print font and device settings.
  app.messages.Close();
  app.connection.reset();
  ThePrinterSelection().printer_font.reset();
  ThePrinterSelection().printer_devmode.reset();
  ThePrintServices() = PrintServices{};
  app.wm.Remove(*app.main_window);
  return 0;
}
