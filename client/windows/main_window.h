// The main window with its menus and status line.
#pragma once

#include <functional>
#include <string>

#include "client/windows/window_context.h"
#include "toolkit/static_text.h"
#include "toolkit/window.h"

namespace client::windows {

// Main-window commands served by other parts of the client; a command
// without a handler has its menu item greyed.
struct MenuCommands {
  std::function<void()> immediate, unattended, transfer_log;
  std::function<void()> interface_settings, session_parameters;
};

class MainWindow : public tk::Window {
 public:
  static constexpr int kWidth = 70, kHeight = 6;

  // commands, trace and state are read when a command comes; state says
  // whether unattended polling needs its own end request.
  MainWindow(DialogKit& ui, ClientShell& shell, const MenuCommands& commands, common::Tracer& trace,
             const ClientState& state);
  int HandleEvent(const tk::Event& e) override;
  const std::string& Status() const { return status_line_->GetText(); }
  void SetStatus(const std::string& text) { status_line_->SetText(text); }
  // Greys the items of commands nobody serves.
  void UpdateMenus();

 private:
  void Command(int code);
  DialogKit& ui_;
  ClientShell& shell_;
  const MenuCommands& commands_;
  common::Tracer& trace_;
  const ClientState& state_;
  tk::StatusLine* status_line_;
};

}  // namespace client::windows
