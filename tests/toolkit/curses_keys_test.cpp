#include <curses.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

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
      {24, false, nullptr, key::kCtrl | 'x'},  // Ctrl+X ends the program
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

// The raw sequences terminals send, read under every common TERM: either
// sequence of a key gives the key, whichever terminal description is in force.
TEST(CursesKeys, BothCommonSequencesOfEachKeyUnderEveryTerminalType) {
  struct Case {
    const char* sequence;
    int want;
  } cases[] = {
      {"\033[1~", key::kHome},     {"\033[H", key::kHome},    {"\033OH", key::kHome},
      {"\033[4~", key::kEnd},      {"\033[F", key::kEnd},     {"\033OF", key::kEnd},
      {"\033[2~", key::kInsert},   {"\033[3~", key::kDelete}, {"\033[5~", key::kPageUp},
      {"\033[6~", key::kPageDown}, {"\033OP", key::F(1)},     {"\033[11~", key::F(1)},
      {"\033[[A", key::F(1)},      {"\033[17~", key::F(6)},   {"\033[21~", key::F(10)},
      {"\033[A", key::kUp},        {"\033OB", key::kDown},
  };
  int out = open("/dev/null", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(out, 0);
  int tested = 0;
  for (const char* term : {"xterm", "xterm-256color", "screen", "tmux", "linux"}) {
    int in[2];
    ASSERT_EQ(pipe(in), 0);
    {
      CursesDisplay display(in[0], out, term);
      if (display.Ready()) {
        ++tested;
        for (const Case& c : cases) {
          std::string bytes = c.sequence;
          ASSERT_EQ(write(in[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
          Event e;
          ASSERT_TRUE(display.ReadInput(e)) << term << " " << bytes.substr(1);
          EXPECT_EQ(e.kind, EventKind::kKey) << term << " " << bytes.substr(1);
          EXPECT_EQ(e.code, c.want) << term << " " << bytes.substr(1);
          Event more;  // nothing of the sequence is left over as typed characters
          EXPECT_FALSE(display.ReadInput(more))
              << term << " " << bytes.substr(1) << " left " << more.code;
        }
      }
    }
    close(in[0]);
    close(in[1]);
  }
  close(out);
  if (tested == 0) GTEST_SKIP() << "no terminal descriptions installed";
}

}  // namespace
}  // namespace tk
