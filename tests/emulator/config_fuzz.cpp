// The texts a provider takes from outside: the sessions file, session
// parameters and Send Key strings. The first byte picks which.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/key_mnemonics.h"
#include "emulator/session_config.h"
#include "emulator/session_parameters.h"
#include "emulator/x3270_backend.h"

namespace {

// What reaches s3270 from an accepted line: arguments without control
// characters, and a Connect() whose quoted target nothing can break out of.
void CheckWhatReachesTheEmulator(const emulator::SessionLine& s) {
  for (const std::string& a : emulator::S3270Arguments(s.options))
    for (unsigned char c : a)
      if (c < 0x20 || c == 0x7F) __builtin_trap();
  std::string host;
  int port = 0;
  if (!emulator::SplitHostPort(s.target, &host, &port)) return;
  const std::string command = emulator::ConnectCommand(host, port, s.options);
  if (command.rfind("Connect(\"", 0) != 0 || command.substr(command.size() - 2) != "\")")
    __builtin_trap();
  for (unsigned char c : command.substr(9, command.size() - 11))
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\' || c == '(' || c == ')' || c == ',')
      __builtin_trap();
  // What qorcnfig would write reads back the same.
  emulator::SessionTable again = emulator::ParseSessions(
      "A s3270 " + s.target + " " + common::session_options::Words(s.options) + "\n", "again");
  if (!again.problems.empty() || common::session_options::Words(again.sessions[0].options) !=
                                     common::session_options::Words(s.options))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0: {
      emulator::SessionTable t = emulator::ParseSessions(text, "sessions");
      for (const emulator::SessionLine& s : t.sessions) {
        if (s.letter < 'A' || s.letter > 'Z' || s.timeout_seconds < 1) __builtin_trap();
        if (s.kind == emulator::SessionKind::kS3270) CheckWhatReachesTheEmulator(s);
      }
      break;
    }
    case 1: {
      emulator::SessionParameters p;
      p.Apply(text);
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
