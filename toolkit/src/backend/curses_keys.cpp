// Curses key codes to toolkit key codes.
#include <curses.h>

#include <cstring>

#include "toolkit/curses_display.h"
#include "toolkit/keys.h"

namespace tk {

namespace {

// Modifier digit of xterm-style key names ("kUP5"): 2 Shift, 3 Alt, 5 Ctrl, and sums.
int ModsFromDigit(char d) {
  if (d < '2' || d > '8') return 0;
  int m = d - '1';
  return ((m & 1) ? key::kShift : 0) | ((m & 2) ? key::kAlt : 0) | ((m & 4) ? key::kCtrl : 0);
}

int FromName(const char* name) {
  static const struct {
    const char* prefix;
    int key;
  } kNames[] = {{"kUP", key::kUp},   {"kDN", key::kDown}, {"kLFT", key::kLeft},
                {"kRIT", key::kRight}, {"kHOM", key::kHome}, {"kEND", key::kEnd},
                {"kDC", key::kDelete}, {"kIC", key::kInsert}, {"kPRV", key::kPageUp},
                {"kNXT", key::kPageDown}};
  if (name == nullptr) return 0;
  for (const auto& n : kNames) {
    size_t len = std::strlen(n.prefix);
    if (std::strncmp(name, n.prefix, len) == 0 && name[len] != '\0' && name[len + 1] == '\0') {
      int mods = ModsFromDigit(name[len]);
      if (mods != 0) return n.key | mods;
    }
  }
  return 0;
}

}  // namespace

int TranslateCursesKey(int ch, bool is_key_code, const char* name) {
  if (!is_key_code) {
    switch (ch) {
      case 9: return key::kTab;
      case 10:
      case 13: return key::kEnter;
      case 8:
      case 127: return key::kBackspace;
      case 27: return key::kEscape;
      default: break;
    }
    if (ch >= 1 && ch <= 26) return key::kCtrl | ('a' + ch - 1);
    if (ch < 0x20) return 0;
    return ch;
  }
  if (ch >= KEY_F(1) && ch <= KEY_F(63)) {
    // Terminfo numbers modified function keys in blocks of twelve.
    int n = ch - KEY_F(0) - 1;
    static const int kBlockMods[] = {0,
                                     key::kShift,
                                     key::kCtrl,
                                     key::kCtrl | key::kShift,
                                     key::kAlt,
                                     key::kAlt | key::kShift};
    return key::F(n % 12 + 1) | kBlockMods[n / 12];
  }
  switch (ch) {
    case KEY_UP: return key::kUp;
    case KEY_DOWN: return key::kDown;
    case KEY_LEFT: return key::kLeft;
    case KEY_RIGHT: return key::kRight;
    case KEY_HOME: return key::kHome;
    case KEY_END: return key::kEnd;
    case KEY_PPAGE: return key::kPageUp;
    case KEY_NPAGE: return key::kPageDown;
    case KEY_DC: return key::kDelete;
    case KEY_IC: return key::kInsert;
    case KEY_BACKSPACE: return key::kBackspace;
    case KEY_ENTER: return key::kEnter;
    case KEY_BTAB: return key::kTab | key::kShift;
    case KEY_SLEFT: return key::kLeft | key::kShift;
    case KEY_SRIGHT: return key::kRight | key::kShift;
    case KEY_SR: return key::kUp | key::kShift;
    case KEY_SF: return key::kDown | key::kShift;
    case KEY_SHOME: return key::kHome | key::kShift;
    case KEY_SEND: return key::kEnd | key::kShift;
    case KEY_SDC: return key::kDelete | key::kShift;
    default: return FromName(name);
  }
}

}  // namespace tk
