// The choices the job dialog and the unattended dialog share: where a job
// goes (file or printer) and what happens when its file exists.
#pragma once

#include "toolkit/window.h"

class InterfaceTexts;
struct ClientState;

// Adds the destination group at row dest_y (the current destination's button
// first, so it is the checked one) and the duplicate-rule group at row
// dupl_y, width dupl_width.
void AddDestinationChoices(tk::Window& window, const ClientState& state,
                           const InterfaceTexts& texts, int dest_y, int dupl_y, int dupl_width);

// Takes a command of those groups into state; false for any other command.
bool TakeDestinationChoice(int code, ClientState& state);
