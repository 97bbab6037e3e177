// 3270 buffer addresses as they travel in orders and inbound data.
#pragma once

#include <cstdint>

namespace hostsim {

// The graphic code of a 6-bit value, as used in addresses, WCCs and attributes.
uint8_t SixBitCode(unsigned value);
// The 12-bit coded form (two bytes of 6-bit codes), enough for any position
// up to 4095 (model 5 has 3564).
void EncodeBufferAddress(int position, uint8_t out[2]);
// Either form: 14-bit binary when the top two bits are 0, else 12-bit coded.
int DecodeBufferAddress(uint8_t first, uint8_t second);

}  // namespace hostsim
