#include "hostsim/keys.h"

namespace hostsim {

Key PfKey(int number) {
  if (number < 1 || number > 24) return Key::kEnter;
  return static_cast<Key>(static_cast<int>(Key::kPF1) + number - 1);
}

const char* KeyName(Key key) {
  static const char* const kNames[] = {
      "Enter", "Clear", "PA1",  "PA2",  "PA3",  "PF1",  "PF2",  "PF3",   "PF4",  "PF5",   "PF6",
      "PF7",   "PF8",   "PF9",  "PF10", "PF11", "PF12", "PF13", "PF14",  "PF15", "PF16",  "PF17",
      "PF18",  "PF19",  "PF20", "PF21", "PF22", "PF23", "PF24", "Reset", "Attn", "SysReq"};
  const auto i = static_cast<unsigned>(key);
  return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "?";
}

bool KeyReachesHost(Key key) {
  return key != Key::kReset && key != Key::kAttn && key != Key::kSysReq;
}

}  // namespace hostsim
