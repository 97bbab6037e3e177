// Windows providers are not told of the client's stop: their waits end at
// the session's deadline, and the client looks at its stop between calls.
#include "emulator/client_stop.h"

namespace emulator {

int ClientStopFd() { return -1; }

bool ClientStopped() { return false; }

bool SleepUnlessStopped(Deadline until) {
  until.SleepOut();
  return false;
}

}  // namespace emulator
