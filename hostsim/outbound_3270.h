// The 3270 record that paints a whole Screen on the terminal.
#pragma once

#include <string>

#include "hostsim/screen.h"

namespace hostsim {

// Erase/Write with a WCC that restores the keyboard (without it the terminal
// stays locked and every key waits for ever), the fields with their start-field
// orders, the text in EBCDIC, insert-cursor; IAC doubled; ended by IAC EOR.
std::string erase_write_record(const Screen& screen);

}  // namespace hostsim
