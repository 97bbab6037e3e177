// The client as a process: its state, windows, message file, host link and
// transfer engine with its front end, created by RunClient and handed to
// whatever needs them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "client/engine/client_core.h"
#include "client/windows/help_window.h"
#include "toolkit/commands.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"
#include "toolkit/static_text.h"
#include "toolkit/window_manager.h"

using namespace client;  // until the windows live in namespace client too

// Command codes shared by the client's windows: the toolkit's dialog answers
// and the client's menu commands.
namespace cmd {
using namespace tk::cmd;
constexpr int kUnattended = 11110, kImmediate = 11120, kTransferLog = 11130;
constexpr int kSessionParameters = 11210, kInterfaceSettings = 11220, kDebugTrace = 11250;
constexpr int kExit = 19000, kGeneralHelp = 19110, kHelpIndex = 19120, kAbout = 19130;
}  // namespace cmd

// Main-window commands served by other parts of the client; a command
// without a handler has its menu item greyed.
struct MenuCommands {
  std::function<void()> immediate, unattended, transfer_log;
  std::function<void()> interface_settings, session_parameters;
};

struct ClientApp : ClientCore {
  explicit ClientApp(tk::Display& display, TransferHost* host = nullptr);
  ~ClientApp();

  tk::Display& display;
  tk::EventQueue queue;
  tk::WindowManager wm;
  std::unique_ptr<TransferFrontEnd> front_end;  // the engine's, once installed
  std::unique_ptr<tk::Window> main_window;
  tk::StatusLine* status_line = nullptr;  // the main window's, while it lives
  HelpContext help;

  MenuCommands commands;

  // Takes one event (waiting at most timeout_ms) and dispatches it; returns
  // the answer, 0 on time-out, HostServices::kQuit for the program-end request.
  int PumpEvent(int timeout_ms);
  // The main window's status line.
  void SetStatus(const std::string& text);
};

// A keyed or fixed text in a box (or on the status line in unattended
// operation, without waiting: the result is then 10011).
int ShowMessage(ClientApp& app, const std::string& text, const char* help_key, unsigned buttons);
// prefix, a line feed and the message file's lines of key; nothing when the
// key is missing (the engine's, through its front end).
int ReportMessage(ClientApp& app, const char* key, const char* prefix, const char* help_key);
// MessageDialog on the client's windows.
int ShowDialog(ClientApp& app, const std::string& text, const std::string& title, unsigned buttons);
