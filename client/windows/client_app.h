// The client as a process: its state, windows, message file, host link and
// transfer engine with its front end, created by RunClient. It provides the
// narrow parts (window_context.h) each window and dialog is handed.
#pragma once

#include <memory>
#include <string>

#include "client/engine/client_core.h"
#include "client/windows/help_window.h"
#include "client/windows/main_window.h"
#include "client/windows/window_context.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"
#include "toolkit/window_manager.h"

namespace client::windows {

struct ClientApp : ClientCore, ClientShell {
  explicit ClientApp(tk::Display& display, TransferHost* host = nullptr);
  ~ClientApp();

  tk::Display& display;
  tk::EventQueue queue;
  tk::WindowManager wm;
  std::unique_ptr<TransferFrontEnd> front_end;  // the engine's, once installed
  std::unique_ptr<MainWindow> main_window;      // its status line is the client's
  HelpContext help;
  MenuCommands commands;

  // The parts the windows are handed.
  DialogKit ui{wm, texts, help};
  PrinterSetup printer{ui, *this, state.printing, trace, engine.log};
  TransferWork work{ui, *this, state, engine, trace, printer};

  // Creates the main window and puts it, centred, on the screen.
  void OpenMainWindow();
  // Takes one event (waiting at most timeout_ms) and dispatches it; returns
  // the answer, 0 on time-out, HostServices::kQuit for the program-end request.
  int PumpEvent(int timeout_ms);

  int ShowDialog(const std::string& text, const std::string& title, unsigned buttons) override;
  int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) override;
  int ReportMessage(const char* key, const char* prefix, const char* help_key) override;
  void SetStatus(const std::string& text) override;
  void RequestProgramEnd() override;
};

// Ties the engine into the windows: its front end, the menu commands
// IMMEDIATE, UNATTEND and LOG, and the host link's status texts and boxes.
void InstallTransferEngine(ClientApp& app);

}  // namespace client::windows
