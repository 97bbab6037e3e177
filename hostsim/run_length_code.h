// The run-length code of data screens, in terms of translated bytes: the run
// marker '~', a count character, then the byte to repeat. The byte 0x15
// outside a run stands for a carriage return and line feed.
#pragma once

#include <cstdint>

namespace hostsim {

constexpr uint8_t kRunMarker = 0x7E;    // '~'
constexpr uint8_t kNewLineByte = 0x15;  // expands to 0x0D 0x0A outside a run
constexpr int kLongestRun = 64;         // a count byte outside the alphabet means 64

// The count byte for a run of 0..63 (blank, 'A'..'Z', 'a'..'z', '0'..'9', '+').
uint8_t RunCountByte(int count);
// The count a byte stands for: its place in the alphabet, 64 when it is not in it.
int RunCountOf(uint8_t b);

}  // namespace hostsim
