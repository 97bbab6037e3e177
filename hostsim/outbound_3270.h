// The 3270 data that paints a whole Screen on the terminal, and its telnet
// framing.
#pragma once

#include <string>
#include <string_view>

#include "hostsim/ebcdic.h"
#include "hostsim/screen.h"

namespace hostsim {

// Erase/Write (Erase/Write Alternate for a screen on the alternate size) with
// a WCC that restores the keyboard (without it the terminal stays locked and
// every key waits for ever), the fields with their start-field orders, the
// text in the code page's EBCDIC, insert-cursor.
std::string EraseWriteStream(const Screen& screen, const CodePage& page = DefaultCodePage());
// One telnet record: IAC doubled, ended by IAC EOR.
std::string TelnetRecord(std::string_view data);
// Both: the record that paints the screen on a plain TN3270 connection.
std::string EraseWriteRecord(const Screen& screen, const CodePage& page = DefaultCodePage());

}  // namespace hostsim
