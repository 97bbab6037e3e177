// Keys a terminal user presses. All but Reset, Attn and SysReq send an
// attention identifier to the host; those three act on the terminal only.
#pragma once

#include <cstdint>

namespace hostsim {

enum class Key : uint8_t {
  Enter,
  Clear,
  PA1,
  PA2,
  PA3,
  PF1,
  PF2,
  PF3,
  PF4,
  PF5,
  PF6,
  PF7,
  PF8,
  PF9,
  PF10,
  PF11,
  PF12,
  PF13,
  PF14,
  PF15,
  PF16,
  PF17,
  PF18,
  PF19,
  PF20,
  PF21,
  PF22,
  PF23,
  PF24,
  Reset,
  Attn,
  SysReq,
};

// PF1..PF24 by number; Key::Enter for a number out of range.
Key pf_key(int number);
const char* key_name(Key key);
// True for keys that reach the host application.
bool key_reaches_host(Key key);

}  // namespace hostsim
