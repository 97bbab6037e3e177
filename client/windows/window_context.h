// What the client's windows take from the program around them, in a few
// small parts: each window and dialog is handed only the parts it uses.
// ClientApp provides them all.
#pragma once

#include <string>

#include "client/engine/client_state.h"
#include "client/engine/interface_texts.h"
#include "client/engine/printer_selection.h"
#include "client/engine/transfer_engine.h"
#include "client/engine/transfer_log.h"
#include "client/windows/help_window.h"
#include "common/trace.h"
#include "toolkit/commands.h"
#include "toolkit/window_manager.h"

namespace client::windows {

// Command codes shared by the client's windows: the toolkit's dialog answers
// and the client's menu commands.
namespace cmd {
using namespace tk::cmd;
constexpr int kUnattended = 11110, kImmediate = 11120, kTransferLog = 11130;
constexpr int kSessionParameters = 11210, kInterfaceSettings = 11220, kDebugTrace = 11250;
constexpr int kExit = 19000, kGeneralHelp = 19110, kHelpIndex = 19120, kAbout = 19130;
}  // namespace cmd

// Windows, their texts and help: what any dialog needs to show itself.
struct DialogKit {
  tk::WindowManager& wm;
  const InterfaceTexts& texts;
  HelpContext& help;
};

// What windows ask of the program around them: boxes, the status line and
// the program-end request.
class ClientShell {
 public:
  // A message dialog with the given title and buttons.
  virtual int ShowDialog(const std::string& text, const std::string& title, unsigned buttons) = 0;
  // A keyed or fixed text in a box (or on the status line in unattended
  // operation, without waiting: the result is then 10011).
  virtual int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) = 0;
  // prefix, a line feed and the message file's lines of key; nothing when
  // the key is missing.
  virtual int ReportMessage(const char* key, const char* prefix, const char* help_key) = 0;
  // The main window's status line.
  virtual void SetStatus(const std::string& text) = 0;
  // The program-end request as the main window's Exit makes it.
  virtual void RequestProgramEnd() = 0;

 protected:
  ~ClientShell() = default;
};

// What the printer, mode and font dialogs work on.
struct PrinterSetup {
  DialogKit& ui;
  ClientShell& shell;
  Printing& printing;
  common::Tracer& trace;
  TransferLog& log;  // says why no printer is listed
};

// What the job, unattended and immediate-transfer commands work on.
struct TransferWork {
  DialogKit& ui;
  ClientShell& shell;
  ClientState& state;
  TransferEngine& engine;
  common::Tracer& trace;
  PrinterSetup& printer;
};

}  // namespace client::windows
