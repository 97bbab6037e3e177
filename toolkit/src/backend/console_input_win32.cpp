#include "toolkit/src/backend/console_input.h"

#include "toolkit/keys.h"

namespace tk {

namespace {

constexpr unsigned long long kDoubleClickMs = 400;

int Modifiers(DWORD state) {
  int mods = 0;
  if (state & SHIFT_PRESSED) mods |= key::kShift;
  if (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) mods |= key::kCtrl;
  if (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) mods |= key::kAlt;
  return mods;
}

// Keys that mean the same whatever character the layout gives them.
int SpecialKey(WORD vk) {
  if (vk >= VK_F1 && vk <= VK_F24) return key::F(vk - VK_F1 + 1);
  switch (vk) {
    case VK_UP: return key::kUp;
    case VK_DOWN: return key::kDown;
    case VK_LEFT: return key::kLeft;
    case VK_RIGHT: return key::kRight;
    case VK_HOME: return key::kHome;
    case VK_END: return key::kEnd;
    case VK_PRIOR: return key::kPageUp;
    case VK_NEXT: return key::kPageDown;
    case VK_INSERT: return key::kInsert;
    case VK_DELETE: return key::kDelete;
    default: return 0;
  }
}

bool IsModifierKey(WORD vk) {
  switch (vk) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS: return true;
    default: return false;
  }
}

bool MouseEvent(const MOUSE_EVENT_RECORD& m, unsigned long long now_ms, ConsoleInputState& state,
                Event& out) {
  int x = m.dwMousePosition.X, y = m.dwMousePosition.Y;
  if (m.dwEventFlags & MOUSE_WHEELED) {
    // The wheel's distance is the high word, signed: forward is up.
    short delta = static_cast<short>(HIWORD(m.dwButtonState));
    out = Event::Mouse(delta > 0 ? kMouseWheelUp : kMouseWheelDown, x, y, 0);
    return true;
  }
  if (m.dwEventFlags & (MOUSE_MOVED | MOUSE_HWHEELED)) return false;
  DWORD pressed = m.dwButtonState & ~state.buttons;
  DWORD released = state.buttons & ~m.dwButtonState;
  state.buttons = m.dwButtonState;
  if (pressed & FROM_LEFT_1ST_BUTTON_PRESSED) {
    bool twice =
        (m.dwEventFlags & DOUBLE_CLICK) || (x == state.last_press.x && y == state.last_press.y &&
                                            now_ms - state.last_press_ms < kDoubleClickMs);
    state.last_press_ms = now_ms;
    state.last_press = twice ? Point{-1, -1} : Point{x, y};
    out = Event::Mouse(twice ? kMouseDoubleClick : kMousePress, x, y, 1);
    return true;
  }
  if (released & FROM_LEFT_1ST_BUTTON_PRESSED) {
    out = Event::Mouse(kMouseRelease, x, y, 1);
    return true;
  }
  if (pressed & RIGHTMOST_BUTTON_PRESSED) {
    out = Event::Mouse(kMousePress, x, y, 3);
    return true;
  }
  return false;
}

}  // namespace

int TranslateConsoleKey(const KEY_EVENT_RECORD& k, ConsoleInputState& state) {
  if (!k.bKeyDown) return 0;
  const WORD vk = k.wVirtualKeyCode;
  const int mods = Modifiers(k.dwControlKeyState);
  if (int special = SpecialKey(vk)) return special | mods;
  switch (vk) {
    case VK_RETURN: return key::kEnter;
    case VK_ESCAPE: return key::kEscape;
    case VK_BACK: return key::kBackspace;
    case VK_TAB: return key::kTab | (mods & key::kShift);
    default: break;
  }
  if (IsModifierKey(vk)) return 0;

  char32_t c = k.uChar.UnicodeChar;
  if (c >= 0xd800 && c < 0xdc00) {
    state.high_surrogate = static_cast<wchar_t>(c);
    return 0;
  }
  if (c >= 0xdc00 && c < 0xe000) {
    if (state.high_surrogate == 0) return 0;
    c = 0x10000 + ((static_cast<char32_t>(state.high_surrogate) - 0xd800) << 10) + (c - 0xdc00);
  }
  state.high_surrogate = 0;
  // Control characters as a terminal gives them, for keys the console
  // could not name.
  switch (c) {
    case 9: return key::kTab;
    case 10:
    case 13: return key::kEnter;
    case 8:
    case 0x7f: return key::kBackspace;
    case 27: return key::kEscape;
    default: break;
  }
  if (c >= 1 && c <= 26) return key::kCtrl | static_cast<int>('a' + c - 1);
  if (c == 0) {
    // Ctrl with a letter the layout gives no control character for.
    if ((mods & key::kCtrl) && vk >= 'A' && vk <= 'Z') return key::kCtrl | (vk - 'A' + 'a');
    return 0;
  }
  if (c < 0x20 || (c >= 0x80 && c < 0xa0)) return 0;
  // Ctrl+Alt together is AltGr: the character itself, not a menu key.
  if ((mods & key::kAlt) && !(mods & key::kCtrl)) return static_cast<int>(c) | key::kAlt;
  return static_cast<int>(c);
}

bool TranslateConsoleInput(const INPUT_RECORD& r, unsigned long long now_ms,
                           ConsoleInputState& state, Event& out) {
  switch (r.EventType) {
    case KEY_EVENT: {
      int code = TranslateConsoleKey(r.Event.KeyEvent, state);
      if (code == 0) return false;
      out = Event::Key(code);
      return true;
    }
    case MOUSE_EVENT: return MouseEvent(r.Event.MouseEvent, now_ms, state, out);
    case WINDOW_BUFFER_SIZE_EVENT: out = Event::Redisplay(kResized); return true;
    default: return false;
  }
}

WORD ConsoleAttributes(Attr a) {
  // The toolkit's colours are in ANSI order (bit 0 red, 1 green, 2 blue);
  // the console's foreground bits are blue 1, green 2, red 4, the
  // background's the same four bits higher.
  static const WORD kColor[] = {0,
                                FOREGROUND_RED,
                                FOREGROUND_GREEN,
                                FOREGROUND_RED | FOREGROUND_GREEN,
                                FOREGROUND_BLUE,
                                FOREGROUND_RED | FOREGROUND_BLUE,
                                FOREGROUND_GREEN | FOREGROUND_BLUE,
                                FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE};
  WORD w = static_cast<WORD>(kColor[static_cast<int>(a.fg) & 7] |
                             (kColor[static_cast<int>(a.bg) & 7] << 4));
  // Wine's console on a terminal sends light grey as the terminal's default
  // colours (ESC [ m), which also drops a background it then does not send
  // again: white on a colour is drawn bright, so fields stay blue there.
  if (a.bold || (a.fg == Color::kWhite && a.bg != Color::kBlack)) w |= FOREGROUND_INTENSITY;
  return w;
}

wchar_t ConsoleChar(char32_t c) {
  if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || (c >= 0xd800 && c < 0xe000) || c > 0xfffd)
    return L'?';
  return static_cast<wchar_t>(c);
}

}  // namespace tk
