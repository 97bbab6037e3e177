// The client's stop as the providers' waits see it. The entry points of a
// provider library are fixed, so the client names its stop to us out of band:
// QOR_STOP_FD holds the read end of the pipe its stop signals write to. A
// wait that sees it readable ends at once, so a stopped client is never held
// by an emulator that does not answer.
#pragma once

#include "emulator/deadline.h"

namespace emulator {

// The pipe's read end, or -1 when the client named none (or the name is not a
// pipe of this process). Windows has none: there, waits end at their deadline.
int ClientStopFd();
// True once the client has been asked to stop; does not block.
bool ClientStopped();
// Blocks until the deadline or the client's stop; true when stopped.
bool SleepUnlessStopped(Deadline until);

}  // namespace emulator
