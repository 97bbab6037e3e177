// The choices the job dialog and the unattended dialog share: where a job
// goes (file, printer, command or PDF file), the command, and what happens
// when its file exists.
#pragma once

#include <string>

#include "client/windows/window_context.h"
#include "toolkit/text_field.h"
#include "toolkit/window.h"

namespace client::windows {

// Adds the destination group at row dest_y (three rows; the current
// destination's button first, so it is the checked one), the duplicate-rule
// group at row dupl_y, width dupl_width, and the command's field at row
// command_y. Returns the field.
tk::TextField& AddDestinationChoices(tk::Window& window, const ClientState& state,
                                     const InterfaceTexts& texts, int dest_y, int dupl_y,
                                     int dupl_width, int command_y);

// Takes a command of those groups into state; false for any other command.
bool TakeDestinationChoice(int code, ClientState& state);

// On OK: takes the command field into state. False (shell tells the user
// why) when the command destination is chosen and the command cannot be run.
bool TakeCommandField(ClientState& state, ClientShell& shell, const tk::TextField& field);

}  // namespace client::windows
