// The client's one message box: sized to its text, centred, with a row of
// buttons from a bit mask; beeps, waits for a button and returns its value.
#pragma once

#include <string>

#include "client/engine/interface_texts.h"
#include "client/engine/message_buttons.h"
#include "toolkit/window_manager.h"

namespace client::windows {

// text: lines separated by line feeds; each line feed becomes a NUL and each
// carriage return a blank in the caller's string. An empty title shows
// "QORPRTW"; buttons 0 means OK. Returns the button's value (10011 ...
// 10017), 10014 on a close request, 10017 on the keyboard help request, 0
// when the dialog leaves the front without an answer.
int MessageDialog(tk::WindowManager& wm, const InterfaceTexts& texts, std::string& text,
                  const std::string& title, unsigned buttons);

}  // namespace client::windows
