// Key codes carried by key events.
//
// A key event's code is one int: a Unicode code point for a printable
// character, or one of the special keys below (all above the Unicode range),
// with modifier bits or'ed on top. Ctrl+letter arrives as the lower-case
// letter with kCtrl; Alt+key as the key with kAlt.
#pragma once

namespace tk::key {

constexpr int kShift = 0x1000000;
constexpr int kCtrl = 0x2000000;
constexpr int kAlt = 0x4000000;
constexpr int kModMask = kShift | kCtrl | kAlt;

constexpr int kSpecial = 0x110000;
constexpr int kEnter = kSpecial + 1;
constexpr int kTab = kSpecial + 2;
constexpr int kEscape = kSpecial + 3;
constexpr int kBackspace = kSpecial + 4;
constexpr int kDelete = kSpecial + 5;
constexpr int kInsert = kSpecial + 6;
constexpr int kUp = kSpecial + 7;
constexpr int kDown = kSpecial + 8;
constexpr int kLeft = kSpecial + 9;
constexpr int kRight = kSpecial + 10;
constexpr int kHome = kSpecial + 11;
constexpr int kEnd = kSpecial + 12;
constexpr int kPageUp = kSpecial + 13;
constexpr int kPageDown = kSpecial + 14;
constexpr int kF1 = kSpecial + 0x100;  // kF1 + n - 1 is Fn, n = 1..24

constexpr int F(int n) { return kF1 + n - 1; }
constexpr int Base(int code) { return code & ~kModMask; }
constexpr int Mods(int code) { return code & kModMask; }
constexpr bool IsPrintable(int code) {
  return Mods(code) == 0 && code >= 0x20 && code != 0x7f && !(code >= 0x80 && code < 0xa0) &&
         code < kSpecial;
}

}  // namespace tk::key
