// Whether someone can be at the keyboard: standard input is a terminal the
// program can draw on (on Linux a tty with TERM set, on Windows a console).
#pragma once

namespace platform {

bool InteractiveTerminal();

}  // namespace platform
