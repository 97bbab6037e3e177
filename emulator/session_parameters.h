// Session parameters a program sets with function 9 ("NWAIT,NORESET" ...).
#pragma once

#include <string_view>

namespace emulator {

enum class WaitMode { kNoWait, kTimedWait, kLongWait };  // NWAIT, TWAIT, LWAIT

struct SessionParameters {
  WaitMode wait = WaitMode::kTimedWait;
  bool interruptible_pause = true;  // IPAUSE: a pause ends when the screen changes
  bool auto_reset = true;           // AUTORESET: Send Key clears an operator error first
  char escape = '@';                // ESC=c

  // Applies the comma- or blank-separated parameters in text. Known names
  // that change nothing here are accepted. False if any word is unknown; the
  // known ones are applied all the same.
  bool Apply(std::string_view text);
};

}  // namespace emulator
