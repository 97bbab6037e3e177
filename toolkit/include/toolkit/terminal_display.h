// The display of a program that runs in the user's terminal: curses on
// Linux, the console on Windows. Both take the terminal over when made and
// give it back when destroyed; Available() says whether there is one, and
// ready() whether it could be set up.
#pragma once

#ifdef _WIN32
#include "toolkit/console_display.h"
namespace tk {
using TerminalDisplay = ConsoleDisplay;
}
#else
#include "toolkit/curses_display.h"
namespace tk {
using TerminalDisplay = CursesDisplay;
}
#endif
