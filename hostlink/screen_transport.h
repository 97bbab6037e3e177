// Screen traffic as a byte stream: Get screen (raw, shift-translated, or
// translated and run-length expanded), Send data, Send keys and the waits that
// keep the windows alive while the host works.
#pragma once

#include "hostlink/host_connection.h"

namespace hostlink {

// The text Get screen returns when no acceptable screen came in time.
extern const char* const kLu2TimeoutText;  // "IV,Timeout in LU2 loop"

// What Get screen makes of the screen.
enum class ScreenMode {
  kRaw,         // as the emulator holds it (a job header)
  kDecoded,     // shift-translated and run-length expanded (job data)
  kTranslated,  // shift-translated only
};

// Returns the result (its length in conn->result.size()), valid until the next
// call; null when the link cannot be opened or the copy fails hard; or
// kLu2TimeoutText.
const char* GetScreen(HostConnection* conn, ScreenMode mode);
int SendData(HostConnection* conn, const char* text);
int SendKeys(HostConnection* conn, const char* keys);
int WaitForHostReply(HostConnection* conn);
// Waits up to half_seconds / 2 seconds for the host to change the screen,
// without opening the link: 1 it did, 0 it did not, -1 no session.
int PauseForHost(HostConnection* conn, int half_seconds);
// 0, or -1 when a Cancel command came during the wait (which still runs its time).
int Wait(HostConnection* conn, int seconds);
void ResetKeyboard(HostConnection* conn);

}  // namespace hostlink
