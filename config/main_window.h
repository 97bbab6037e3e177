// The main window "QORCNFIG": its menus "&File" (Settings, Exit) and "&Help"
// (the about box), and a line saying what the last configuration did.
#pragma once

#include <string>

#include "common/message_file.h"
#include "config/command_flags.h"
#include "toolkit/static_text.h"
#include "toolkit/window_manager.h"

namespace config {

class ConfigMainWindow : public tk::Window {
 public:
  static constexpr int kCmdSettings = 20010;
  static constexpr int kCmdExit = 20011;
  static constexpr int kCmdAbout = 20012;

  ConfigMainWindow(tk::WindowManager& wm, common::MessageFile& messages, CommandFlags flags);

  int HandleEvent(const tk::Event& e) override;
  int ExitCode() const { return exit_code_; }

 private:
  int Command(int code);
  void Settings();
  void End(int code);

  tk::WindowManager& wm_;
  common::MessageFile& messages_;
  CommandFlags flags_;
  int exit_code_ = 11;  // until File/Exit says otherwise
  tk::Text* status_ = nullptr;
};

}  // namespace config
