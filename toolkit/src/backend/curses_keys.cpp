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
  } kNames[] = {{"kUP", key::kUp},       {"kDN", key::kDown},   {"kLFT", key::kLeft},
                {"kRIT", key::kRight},   {"kHOM", key::kHome},  {"kEND", key::kEnd},
                {"kDC", key::kDelete},   {"kIC", key::kInsert}, {"kPRV", key::kPageUp},
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
    static const int kBlockMods[] = {
        0, key::kShift, key::kCtrl, key::kCtrl | key::kShift, key::kAlt, key::kAlt | key::kShift};
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

void DefineCommonKeySequences() {
  // xterm (normal and application mode), VT220/screen/tmux, rxvt, the Linux console.
  static const struct {
    const char* sequence;
    int code;
  } kSequences[] = {
      {"\033[1~", KEY_HOME},   {"\033[7~", KEY_HOME},   {"\033[H", KEY_HOME},
      {"\033OH", KEY_HOME},    {"\033[4~", KEY_END},    {"\033[8~", KEY_END},
      {"\033[F", KEY_END},     {"\033OF", KEY_END},     {"\033[2~", KEY_IC},
      {"\033[3~", KEY_DC},     {"\033[5~", KEY_PPAGE},  {"\033[6~", KEY_NPAGE},
      {"\033[A", KEY_UP},      {"\033OA", KEY_UP},      {"\033[B", KEY_DOWN},
      {"\033OB", KEY_DOWN},    {"\033[C", KEY_RIGHT},   {"\033OC", KEY_RIGHT},
      {"\033[D", KEY_LEFT},    {"\033OD", KEY_LEFT},    {"\033OP", KEY_F(1)},
      {"\033OQ", KEY_F(2)},    {"\033OR", KEY_F(3)},    {"\033OS", KEY_F(4)},
      {"\033[11~", KEY_F(1)},  {"\033[12~", KEY_F(2)},  {"\033[13~", KEY_F(3)},
      {"\033[14~", KEY_F(4)},  {"\033[[A", KEY_F(1)},   {"\033[[B", KEY_F(2)},
      {"\033[[C", KEY_F(3)},   {"\033[[D", KEY_F(4)},   {"\033[[E", KEY_F(5)},
      {"\033[15~", KEY_F(5)},  {"\033[17~", KEY_F(6)},  {"\033[18~", KEY_F(7)},
      {"\033[19~", KEY_F(8)},  {"\033[20~", KEY_F(9)},  {"\033[21~", KEY_F(10)},
      {"\033[23~", KEY_F(11)}, {"\033[24~", KEY_F(12)},
  };
  // A sequence the terminal description already gives a key keeps it.
  for (const auto& s : kSequences)
    if (key_defined(s.sequence) == 0) define_key(s.sequence, s.code);
}

}  // namespace tk
