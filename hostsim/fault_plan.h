// Faults a test host can inject into its sessions, counted in data blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hostsim/screen_geometry.h"

namespace hostsim {

struct FaultPlan {
  static constexpr long kNever = -1;
  int delay_ms = 0;           // wait before sending each screen
  long stall_after = kNever;  // after this many data blocks, answer nothing any more
  long drop_after = kNever;   // after this many data blocks, close instead of sending the next
  long garbage_at = kNever;   // data block number N (from 1) goes out as random characters
  // Every data block of the job whose spool file has this name goes out as
  // random characters, in every session: a job that always fails.
  std::string garbage_job;
  // Random faults: each data block has this chance (0 to 100) of one of a
  // drop, a stall or a garbage screen, drawn from random_seed. Every
  // connection draws from its own stream of the seed (the server numbers
  // them), so one unlucky draw does not repeat on each reconnection.
  double random_percent = 0;
  uint32_t random_seed = 0;
  uint32_t random_stream = 0;
};

enum class Fault { kNone, kDrop, kStall, kGarbage };

// The random faults of one connection: the same seed and stream give the
// same faults in the same order.
class FaultDice {
 public:
  FaultDice(uint32_t seed, uint32_t stream, double percent);
  // The fault for the next data block, if any.
  Fault Roll();
  // A fresh random number, e.g. to seed a garbage screen.
  uint32_t Next();

 private:
  uint32_t state_;
  double percent_;
};

// A full screen of random printable characters, the same for the same seed.
std::string GarbageScreenText(uint32_t seed, std::size_t capacity = kScreenTextCapacity);

}  // namespace hostsim
