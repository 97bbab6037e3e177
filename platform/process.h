// The running process's id, and whether another process may still be alive.
#pragma once

namespace platform {

long CurrentProcessId();

// False only when the system says no process has that id; a process that
// exists but may not be looked at counts as running.
bool ProcessMayBeRunning(long pid);

}  // namespace platform
