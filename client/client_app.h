// The client as a process: its state, windows, message file, host link and
// transfer engine, created by RunClient and handed to whatever needs them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "client/client_state.h"
#include "client/help_window.h"
#include "client/interface_texts.h"
#include "client/transfer_engine.h"
#include "common/message_file.h"
#include "hostlink/host_services.h"
#include "hostlink/qorconct.h"
#include "toolkit/commands.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"
#include "toolkit/window_manager.h"

class MainWindow;

// Command codes shared by the client's windows: the toolkit's dialog answers
// and the client's menu commands.
namespace cmd {
using namespace tk::cmd;
constexpr int kUnattended = 11110, kImmediate = 11120, kTransferLog = 11130;
constexpr int kSessionParameters = 11210, kInterfaceSettings = 11220, kDebugTrace = 11250;
constexpr int kExit = 19000, kGeneralHelp = 19110, kHelpIndex = 19120, kAbout = 19130;
}  // namespace cmd

struct ClientApp {
  explicit ClientApp(tk::Display& display);
  ~ClientApp();

  tk::Display& display;
  tk::EventQueue queue;
  tk::WindowManager wm;
  ClientState state;
  MessageFile messages;
  InterfaceTexts texts;
  HostServices services;
  std::unique_ptr<HostConnection> connection;
  TransferEngine engine{connection};
  std::unique_ptr<MainWindow> main_window;
  HelpContext help;
  bool settings_loaded = false;

  // Main-window commands served by other parts of the client; a command
  // without a handler has its menu item greyed.
  std::function<void()> on_immediate, on_unattended, on_transfer_log;
  std::function<void()> on_interface_settings, on_session_parameters;

  // Takes one event (waiting at most timeout_ms) and dispatches it; returns
  // the answer, 0 on time-out, HostServices::kQuit for the program-end request.
  int PumpEvent(int timeout_ms);
};

// The whole program on a given display: start-up, main loop, shut-down.
// program_dir replaces the program file's directory (tests).
int RunClient(int argc, const char* const* argv, tk::Display& display,
              const std::string& program_dir = "");

// A keyed or fixed text in a box (or on the status line in unattended
// operation, without waiting: the result is then 10011).
int ShowMessage(ClientApp& app, const std::string& text, const char* help_key, unsigned buttons);
// prefix, a line feed and the message file's lines of key; nothing when the
// key is missing.
int ReportMessage(ClientApp& app, const char* key, const char* prefix, const char* help_key);
// MessageDialog on the client's windows.
int ShowDialog(ClientApp& app, const std::string& text, const std::string& title, unsigned buttons);
