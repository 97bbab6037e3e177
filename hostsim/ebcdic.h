// Code page 037 (with the brackets where 3270 emulators put them by default)
// for the printable ASCII characters the host paints and reads back.
#pragma once

#include <cstdint>

namespace hostsim {

// EBCDIC for a printable ASCII character; a blank (0x40) for anything else.
uint8_t ascii_to_ebcdic(char c);
// ASCII for an EBCDIC byte; '?' where there is no printable ASCII character,
// and a blank for the EBCDIC blank and NUL.
char ebcdic_to_ascii(uint8_t b);

}  // namespace hostsim
