#include "hostsim/fault_plan.h"

#include "hostsim/screen_geometry.h"

namespace hostsim {

FaultDice::FaultDice(uint32_t seed, uint32_t stream, double percent) : percent_(percent) {
  // Mix seed and stream so that neighbouring seeds or streams start far apart;
  // xorshift must not start from zero.
  uint32_t x = seed ^ (stream * 0x9E3779B9u);
  x ^= x >> 16;
  x *= 0x85EBCA6Bu;
  x ^= x >> 13;
  x *= 0xC2B2AE35u;
  x ^= x >> 16;
  state_ = x != 0 ? x : 0x6D2B79F5u;
}

uint32_t FaultDice::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

Fault FaultDice::Roll() {
  if (percent_ <= 0) return Fault::kNone;
  if (Next() / 4294967296.0 * 100.0 >= percent_) return Fault::kNone;
  switch (Next() % 3) {
    case 0: return Fault::kDrop;
    case 1: return Fault::kStall;
    default: return Fault::kGarbage;
  }
}

std::string GarbageScreenText(uint32_t seed, std::size_t capacity) {
  std::string text(capacity, ' ');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : text) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(0x21 + x % 94);  // printable, never a blank
  }
  return text;
}

}  // namespace hostsim
