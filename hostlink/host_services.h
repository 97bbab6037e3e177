// What the host link needs from the user interface. The client hands these in;
// the link itself knows nothing of windows.
#pragma once

#include <functional>
#include <string>

namespace hostlink {

struct HostServices {
  // Pump result meaning "the program-end request was met" (it is not dispatched).
  static constexpr int kQuit = -1;
  // Pump result meaning "the program must end now": waits for the host give up.
  static constexpr int kStop = -2;
  // The command code of the user's Cancel, as the pump reports it.
  static constexpr int kCancel = 10014;

  // Waits at most timeout_ms (0: do not block) for one user-interface event and
  // dispatches it. Returns the command code the dispatch produced, 0 when there
  // was no event or it produced nothing, kQuit or kStop.
  std::function<int(int timeout_ms)> pump_event;
  // A modal message with an OK button; an empty title shows the program's name.
  std::function<void(const std::string& text, const std::string& title)> show_message;
  // A status line for the transfer log.
  std::function<void(const std::string& text)> add_status_text;
  // The first line of a message-file text, "" when the key is missing.
  std::function<std::string(const char* key)> message_text;
  // Optional. True once the program must end (a stop signal): no session is
  // opened after it, and a connect it cut short is no error to show.
  std::function<bool()> stop_requested;
  // Optional. A connect failed for a reason retrying cannot cure (no sessions
  // file, no line for the session, no emulator program); the text says which.
  // Without it the failure is shown as any other.
  std::function<void(const std::string& cause)> configuration_fault;
};

}  // namespace hostlink
