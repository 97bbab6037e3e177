// The configuration dialog "QOR Settings Configurator": the emulator list,
// the "Use DLL:" field and the buttons Auto Config, Ok, Cancel and Help.
#pragma once

#include <string>

#include "config/configurator.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"
#include "toolkit/window_manager.h"

namespace config {

class ConfigDialog : public tk::Window {
 public:
  static constexpr int kCmdAutoConfig = 20001;
  static constexpr int kCmdSelect = 20002;
  static constexpr int kCmdChoose = 20003;
  static constexpr int kCmdTyped = 20004;
  static constexpr int kCmdNotice = 20005;

  // Builds the list from the message file at once.
  ConfigDialog(tk::WindowManager& wm, Configurator& configurator, common::MessageFile& messages);

  // Runs the dialog modally. True when a choice was confirmed (the dialog
  // then closed itself); false for Cancel or closing.
  bool Run();

  int HandleEvent(const tk::Event& e) override;

  tk::ListBox& List() { return *list_; }
  tk::TextField& Field() { return *field_; }

 private:
  int Ok();
  void ShowSelection();

  tk::WindowManager& wm_;
  Configurator& configurator_;
  common::MessageFile& messages_;
  std::string notice_;
  tk::ListBox* list_ = nullptr;
  tk::TextField* field_ = nullptr;
};

}  // namespace config
