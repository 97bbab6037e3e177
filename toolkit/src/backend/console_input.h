// Windows console records to toolkit events, and toolkit colours to console
// attributes: pure functions, so that tests drive them with made-up records.
#pragma once

#include "platform/win32/windows_api.h"
#include "toolkit/cell.h"
#include "toolkit/event.h"

namespace tk {

// What translating remembers between records.
struct ConsoleInputState {
  DWORD buttons = 0;         // mouse buttons held after the last record
  Point last_press{-1, -1};  // where the left button last went down
  unsigned long long last_press_ms = 0;
  wchar_t high_surrogate = 0;  // the first half of a character beyond U+FFFF
};

// The key code (keys.h) of a key record; 0 when it makes no key (a release,
// a modifier alone, an unknown key, half a surrogate pair).
int TranslateConsoleKey(const KEY_EVENT_RECORD& k, ConsoleInputState& state);

// One input record as an event; false when it makes none. Mouse events come
// as the curses back-end reports them: left press (a second one on the same
// cell within 400 ms, or one the console flags, is a double click), left
// release, right press, wheel. A buffer size change is a resize event.
// now_ms: a millisecond clock.
bool TranslateConsoleInput(const INPUT_RECORD& r, unsigned long long now_ms,
                           ConsoleInputState& state, Event& out);

WORD ConsoleAttributes(Attr a);
// A cell's character as the console takes it: one UTF-16 unit; what does not
// fit in one, and control characters (which a terminal would act on), as '?'.
wchar_t ConsoleChar(char32_t c);

}  // namespace tk
