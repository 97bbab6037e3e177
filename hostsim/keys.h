// Keys a terminal user presses. All but Reset, Attn and SysReq send an
// attention identifier to the host; those three act on the terminal only.
#pragma once

#include <cstdint>

namespace hostsim {

// clang-format off
enum class Key : uint8_t {
  kEnter, kClear, kPA1, kPA2, kPA3,
  kPF1, kPF2, kPF3, kPF4, kPF5, kPF6, kPF7, kPF8, kPF9, kPF10, kPF11, kPF12,
  kPF13, kPF14, kPF15, kPF16, kPF17, kPF18, kPF19, kPF20, kPF21, kPF22, kPF23, kPF24,
  kReset, kAttn, kSysReq,
};
// clang-format on

// PF1..PF24 by number; Key::Enter for a number out of range.
Key PfKey(int number);
const char* KeyName(Key key);
// True for keys that reach the host application.
bool KeyReachesHost(Key key);

}  // namespace hostsim
