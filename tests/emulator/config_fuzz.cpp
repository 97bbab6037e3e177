// The texts a provider takes from outside: the sessions file, session
// parameters and Send Key strings. The first byte picks which.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/key_mnemonics.h"
#include "emulator/session_config.h"
#include "emulator/session_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0: {
      emulator::SessionTable t = emulator::ParseSessions(text, "sessions");
      for (const emulator::SessionLine& s : t.sessions)
        if (s.letter < 'A' || s.letter > 'Z' || s.timeout_seconds < 1) __builtin_trap();
      break;
    }
    case 1: {
      emulator::SessionParameters p;
      p.apply(text);
      break;
    }
    default: {
      std::vector<emulator::KeyStroke> strokes;
      std::size_t bad = 0;
      emulator::ParseKeyString(text, '@', &strokes, &bad);
      break;
    }
  }
  return 0;
}
