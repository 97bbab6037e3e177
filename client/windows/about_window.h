// BMP_WINDOW: the start-up and about window.
#pragma once

#include "client/windows/window_context.h"

namespace client::windows {

// From the menu the window waits for OK. At start-up it waits (and then the
// introduction opens) only on a first run; otherwise it stays two seconds.
// state gives the program's name and directory.
void RunAboutWindow(DialogKit& ui, const ClientState& state, const char* bitmap, bool from_menu);

}  // namespace client::windows
