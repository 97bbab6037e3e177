// Faults a test host can inject into its sessions, counted in data blocks.
#pragma once

#include <cstdint>
#include <string>

namespace hostsim {

struct FaultPlan {
  static constexpr long kNever = -1;
  int delay_ms = 0;            // wait before sending each screen
  long stall_after = kNever;   // after this many data blocks, answer nothing any more
  long drop_after = kNever;    // after this many data blocks, close instead of sending the next
  long garbage_at = kNever;    // data block number N (from 1) goes out as random characters
};

// A full screen of random printable characters, the same for the same seed.
std::string garbage_screen_text(uint32_t seed);

}  // namespace hostsim
