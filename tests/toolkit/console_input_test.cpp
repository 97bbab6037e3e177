// Console input records to toolkit events, as Wine's console and Windows
// deliver them.
#include <gtest/gtest.h>

#include "toolkit/keys.h"
#include "toolkit/src/backend/console_input.h"

namespace tk {
namespace {

INPUT_RECORD KeyRecord(WORD vk, wchar_t ch, DWORD control = 0, bool down = true) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.uChar.UnicodeChar = ch;
  r.Event.KeyEvent.dwControlKeyState = control;
  return r;
}

INPUT_RECORD MouseRecord(int x, int y, DWORD buttons, DWORD flags = 0) {
  INPUT_RECORD r{};
  r.EventType = MOUSE_EVENT;
  r.Event.MouseEvent.dwMousePosition = COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)};
  r.Event.MouseEvent.dwButtonState = buttons;
  r.Event.MouseEvent.dwEventFlags = flags;
  return r;
}

TEST(ConsoleInput, TranslatesKeysWithTheirModifiers) {
  const DWORD shift = SHIFT_PRESSED, ctrl = LEFT_CTRL_PRESSED, alt = LEFT_ALT_PRESSED;
  struct Case {
    INPUT_RECORD record;
    int want;
  } cases[] = {
      {KeyRecord('A', L'a'), 'a'},
      {KeyRecord('A', L'A', shift), 'A'},
      {KeyRecord(0, 0xe9), 0xe9},                      // é typed where the console knows no key
      {KeyRecord('X', 0x18, ctrl), key::kCtrl | 'x'},  // Ctrl+X ends the programs
      {KeyRecord('X', 0, ctrl | shift), key::kCtrl | 'x'},
      {KeyRecord('H', L'h', alt), key::kAlt | 'h'},           // Alt+letter opens menus
      {KeyRecord('Q', L'@', RIGHT_ALT_PRESSED | ctrl), '@'},  // AltGr is a character
      {KeyRecord(VK_F6, 0), key::F(6)},
      {KeyRecord(VK_F6, 0, shift), key::F(6) | key::kShift},
      {KeyRecord(VK_F6, 0, RIGHT_CTRL_PRESSED), key::F(6) | key::kCtrl},
      {KeyRecord(VK_F4, 0, alt), key::F(4) | key::kAlt},
      {KeyRecord(VK_F24, 0), key::F(24)},
      {KeyRecord(VK_HOME, 0, ctrl), key::kHome | key::kCtrl},
      {KeyRecord(VK_UP, 0, shift), key::kUp | key::kShift},
      {KeyRecord(VK_NEXT, 0), key::kPageDown},
      {KeyRecord(VK_DELETE, 0), key::kDelete},
      {KeyRecord(VK_RETURN, L'\r'), key::kEnter},
      {KeyRecord(VK_ESCAPE, 0), key::kEscape},
      {KeyRecord(0, 0x1b), key::kEscape},
      {KeyRecord(VK_BACK, 8), key::kBackspace},
      {KeyRecord(VK_TAB, L'\t'), key::kTab},
      {KeyRecord(VK_TAB, L'\t', shift), key::kTab | key::kShift},  // Backtab
      {KeyRecord('A', L'a', 0, false), 0},                         // releases make nothing
      {KeyRecord(VK_MENU, 0, alt), 0},                             // nor modifiers alone
      {KeyRecord(VK_SHIFT, 0, shift), 0},
      {KeyRecord(0, 0), 0},  // a sequence the console could not name
      {KeyRecord(0, 0x1f), 0},
      {KeyRecord(0, 0x9b), 0},
  };
  for (const Case& c : cases) {
    ConsoleInputState state;
    Event e;
    bool made = TranslateConsoleInput(c.record, 0, state, e);
    const KEY_EVENT_RECORD& k = c.record.Event.KeyEvent;
    EXPECT_EQ(made ? e.code : 0, c.want)
        << "vk " << k.wVirtualKeyCode << " ch " << int{k.uChar.UnicodeChar};
    EXPECT_TRUE(!made || e.kind == EventKind::kKey);
  }

  // A character beyond U+FFFF comes as two records.
  ConsoleInputState state;
  EXPECT_EQ(TranslateConsoleKey(KeyRecord(0, 0xd83d).Event.KeyEvent, state), 0);
  EXPECT_EQ(TranslateConsoleKey(KeyRecord(0, 0xde00).Event.KeyEvent, state), 0x1f600);
  EXPECT_EQ(TranslateConsoleKey(KeyRecord(0, 0xde00).Event.KeyEvent, state),
            0);  // a stray low half
}

TEST(ConsoleInput, MouseButtonsWheelAndResize) {
  ConsoleInputState state;
  Event e;
  auto next = [&](const INPUT_RECORD& r, unsigned long long ms) {
    e = Event();
    return TranslateConsoleInput(r, ms, state, e);
  };
  ASSERT_TRUE(next(MouseRecord(5, 3, FROM_LEFT_1ST_BUTTON_PRESSED), 1000));
  EXPECT_EQ(e.code, kMousePress);
  EXPECT_EQ(e.param, 1);
  EXPECT_EQ(e.x, 5);
  EXPECT_EQ(e.y, 3);
  EXPECT_FALSE(next(MouseRecord(6, 3, FROM_LEFT_1ST_BUTTON_PRESSED, MOUSE_MOVED), 1050));
  ASSERT_TRUE(next(MouseRecord(5, 3, 0), 1100));
  EXPECT_EQ(e.code, kMouseRelease);
  ASSERT_TRUE(next(MouseRecord(5, 3, FROM_LEFT_1ST_BUTTON_PRESSED), 1200));
  EXPECT_EQ(e.code, kMouseDoubleClick);  // same cell, soon after
  ASSERT_TRUE(next(MouseRecord(5, 3, 0), 1250));
  ASSERT_TRUE(next(MouseRecord(5, 3, FROM_LEFT_1ST_BUTTON_PRESSED), 1300));
  EXPECT_EQ(e.code, kMousePress);  // a third press starts afresh
  ASSERT_TRUE(next(MouseRecord(5, 3, 0), 1350));
  ASSERT_TRUE(next(MouseRecord(5, 3, FROM_LEFT_1ST_BUTTON_PRESSED), 9000));
  EXPECT_EQ(e.code, kMousePress);  // too late for a double click
  ASSERT_TRUE(next(MouseRecord(5, 3, 0), 9050));
  ASSERT_TRUE(next(MouseRecord(7, 4, FROM_LEFT_1ST_BUTTON_PRESSED, DOUBLE_CLICK), 20000));
  EXPECT_EQ(e.code, kMouseDoubleClick);  // the console's own word for it
  ASSERT_TRUE(next(MouseRecord(7, 4, 0), 20050));

  ASSERT_TRUE(next(MouseRecord(8, 9, RIGHTMOST_BUTTON_PRESSED), 30000));
  EXPECT_EQ(e.code, kMousePress);
  EXPECT_EQ(e.param, 3);
  EXPECT_FALSE(next(MouseRecord(8, 9, 0), 30050));  // the right button's release is not reported

  ASSERT_TRUE(next(MouseRecord(1, 2, static_cast<DWORD>(120) << 16, MOUSE_WHEELED), 31000));
  EXPECT_EQ(e.code, kMouseWheelUp);
  ASSERT_TRUE(next(MouseRecord(1, 2, static_cast<DWORD>(0xff88) << 16, MOUSE_WHEELED), 31100));
  EXPECT_EQ(e.code, kMouseWheelDown);

  INPUT_RECORD resize{};
  resize.EventType = WINDOW_BUFFER_SIZE_EVENT;
  resize.Event.WindowBufferSizeEvent.dwSize = COORD{80, 24};
  ASSERT_TRUE(next(resize, 32000));
  EXPECT_EQ(e.kind, EventKind::kRedisplay);
  EXPECT_EQ(e.code, kResized);
  INPUT_RECORD focus{};
  focus.EventType = FOCUS_EVENT;
  EXPECT_FALSE(next(focus, 32100));
}

TEST(ConsoleOutput, ColoursAndCharacters) {
  EXPECT_EQ(ConsoleAttributes(Attr{Color::kWhite, Color::kBlack}),
            FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE);
  EXPECT_EQ(
      ConsoleAttributes(Attr{Color::kWhite, Color::kBlue}),  // never light grey on a colour
      FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE | FOREGROUND_INTENSITY | BACKGROUND_BLUE);
  EXPECT_EQ(ConsoleAttributes(Attr{Color::kYellow, Color::kBlue, true}),
            FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_INTENSITY | BACKGROUND_BLUE);
  EXPECT_EQ(ConsoleAttributes(Attr{Color::kRed, Color::kCyan}),
            FOREGROUND_RED | BACKGROUND_GREEN | BACKGROUND_BLUE);
  EXPECT_EQ(ConsoleAttributes(Attr{Color::kBlack, Color::kWhite, true}),  // dark grey on light grey
            FOREGROUND_INTENSITY | BACKGROUND_RED | BACKGROUND_GREEN | BACKGROUND_BLUE);
  EXPECT_EQ(ConsoleChar(U'╔'), L'\u2554');
  EXPECT_EQ(ConsoleChar(U'é'), L'\u00e9');
  EXPECT_EQ(ConsoleChar(U'\x1b'), L'?');  // never an escape sequence for the terminal
  EXPECT_EQ(ConsoleChar(U'\x9b'), L'?');
  EXPECT_EQ(ConsoleChar(U'\U0001F600'), L'?');
}

}  // namespace
}  // namespace tk
