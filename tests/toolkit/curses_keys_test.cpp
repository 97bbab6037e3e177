#include <curses.h>
#include <gtest/gtest.h>

#include "toolkit/curses_display.h"
#include "toolkit/keys.h"

namespace tk {
namespace {

TEST(CursesKeys, TranslatesCharactersControlKeysAndModifiedFunctionKeys) {
  struct Case {
    int ch;
    bool is_key;
    const char* name;
    int want;
  } cases[] = {
      {'a', false, nullptr, 'a'},
      {0xe9, false, nullptr, 0xe9},
      {24, false, nullptr, key::kCtrl | 'x'},   // Ctrl+X ends the program
      {9, false, nullptr, key::kTab},
      {13, false, nullptr, key::kEnter},
      {127, false, nullptr, key::kBackspace},
      {27, false, nullptr, key::kEscape},
      {29, false, nullptr, 0},
      {KEY_F(1), true, "KEY_F(1)", key::F(1)},
      {KEY_F(10), true, "KEY_F(10)", key::F(10)},
      {KEY_F(52), true, "KEY_F(52)", key::F(4) | key::kAlt},  // Alt+F4
      {KEY_F(13), true, "KEY_F(13)", key::F(1) | key::kShift},
      {KEY_F(30), true, "KEY_F(30)", key::F(6) | key::kCtrl},
      {KEY_BTAB, true, "KEY_BTAB", key::kTab | key::kShift},
      {KEY_ENTER, true, "KEY_ENTER", key::kEnter},
      {KEY_BACKSPACE, true, "KEY_BACKSPACE", key::kBackspace},
      {KEY_NPAGE, true, "KEY_NPAGE", key::kPageDown},
      {600, true, "kUP5", key::kUp | key::kCtrl},
      {601, true, "kDN3", key::kDown | key::kAlt},
      {602, true, "kLFT6", key::kLeft | key::kCtrl | key::kShift},
      {603, true, "kUP", 0},
      {604, true, "kUP9", 0},
      {605, true, nullptr, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateCursesKey(c.ch, c.is_key, c.name), c.want)
        << "ch " << c.ch << " name " << (c.name ? c.name : "-");
  }
}

}  // namespace
}  // namespace tk
