// Unattended operation from the windows: the choices made once in
// UnattendedDialog, then the engine's polling until the user cancels.
#pragma once

#include <string>

#include "client/windows/window_context.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"
#include "toolkit/window.h"

namespace client::windows {

class UnattendedDialog : public tk::Window {
 public:
  static constexpr int kWidth = 50, kHeight = 13;
  explicit UnattendedDialog(TransferWork& work);
  int HandleEvent(const tk::Event& e) override;

 private:
  TransferWork& work_;
  tk::Text* path_text_;
  tk::TextField* command_field_;
};

// -1 the printer could not be set up, 0 the dialog was cancelled, 10014
// when polling has ended (program end or a Cancel command).
int UnattendedOperation(TransferWork& work);

}  // namespace client::windows
