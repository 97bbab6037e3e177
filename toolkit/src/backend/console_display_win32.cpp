// The Windows console back-end. The toolkit composes whole screens; this
// file writes the cells that changed into its own screen buffer and turns
// console input records into events (console_input_win32.cpp).
#include "toolkit/console_display.h"

#include <algorithm>

#include "platform/win32/windows_api.h"
#include "toolkit/src/backend/console_input.h"

namespace tk {

namespace {

constexpr DWORD kInputMode = ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT | ENABLE_EXTENDED_FLAGS;
// A key held down arrives as one record with a count; more than this many
// repeats queued up are dropped rather than replayed long after the key is up.
constexpr int kMaxRepeat = 32;

bool IsConsole(HANDLE h) {
  DWORD mode;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

}  // namespace

struct ConsoleDisplay::State {
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE old_out = INVALID_HANDLE_VALUE;
  HANDLE screen = INVALID_HANDLE_VALUE;  // ours, active while we run
  DWORD old_in_mode = 0;
  bool in_mode_saved = false;
  Size size{80, 25};
  CellGrid last;
  bool force = true;
  Point cursor;
  bool cursor_visible = false;
  bool cursor_shown = true;  // what the console was last told
  ConsoleInputState input;
  Event repeated;
  int repeats_left = 0;
  std::vector<CHAR_INFO> row;

  // The visible window's size; the buffer is made the same size, so that
  // the screen has no scroll-back and cell (0, 0) is the window's corner.
  void FitBufferToWindow() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info)) return;
    Size window{info.srWindow.Right - info.srWindow.Left + 1,
                info.srWindow.Bottom - info.srWindow.Top + 1};
    if (window.cols <= 0 || window.rows <= 0) return;
    if (info.dwSize.X != window.cols || info.dwSize.Y != window.rows) {
      SMALL_RECT corner{0, 0, static_cast<SHORT>(window.cols - 1),
                        static_cast<SHORT>(window.rows - 1)};
      SetConsoleWindowInfo(screen, TRUE, &corner);
      SetConsoleScreenBufferSize(
          screen, COORD{static_cast<SHORT>(window.cols), static_cast<SHORT>(window.rows)});
    }
    size = window;
  }

  void ShowCursor(bool visible) {
    if (visible == cursor_shown) return;
    CONSOLE_CURSOR_INFO ci{25, visible ? TRUE : FALSE};
    if (SetConsoleCursorInfo(screen, &ci)) cursor_shown = visible;
  }

  // Writes cells [x0, x1] of row y; false when the console refused them.
  bool WriteRow(const CellGrid& grid, int y, int x0, int x1) {
    row.resize(static_cast<size_t>(x1 - x0 + 1));
    for (int x = x0; x <= x1; ++x) {
      const Cell& c = grid.At(x, y);
      row[static_cast<size_t>(x - x0)].Char.UnicodeChar = ConsoleChar(c.ch);
      row[static_cast<size_t>(x - x0)].Attributes = ConsoleAttributes(c.attr);
    }
    SMALL_RECT where{static_cast<SHORT>(x0), static_cast<SHORT>(y), static_cast<SHORT>(x1),
                     static_cast<SHORT>(y)};
    return WriteConsoleOutputW(screen, row.data(), COORD{static_cast<SHORT>(row.size()), 1},
                               COORD{0, 0}, &where) != 0;
  }
};

bool ConsoleDisplay::Available() {
  return IsConsole(GetStdHandle(STD_INPUT_HANDLE)) && IsConsole(GetStdHandle(STD_OUTPUT_HANDLE));
}

ConsoleDisplay::ConsoleDisplay() : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.in = GetStdHandle(STD_INPUT_HANDLE);
  s.old_out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!IsConsole(s.in) || !IsConsole(s.old_out)) return;
  s.screen =
      CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
  if (s.screen == INVALID_HANDLE_VALUE) return;
  s.in_mode_saved = GetConsoleMode(s.in, &s.old_in_mode) != 0;
  // Keys as keys: no line editing or echo, Ctrl+C a key as under curses'
  // raw mode, the mouse to the program rather than to text selection.
  if (!s.in_mode_saved || !SetConsoleMode(s.in, kInputMode) ||
      !SetConsoleActiveScreenBuffer(s.screen)) {
    if (s.in_mode_saved) SetConsoleMode(s.in, s.old_in_mode);
    CloseHandle(s.screen);
    s.screen = INVALID_HANDLE_VALUE;
    return;
  }
  // Ctrl+C is a key here, as under curses: it must not end the program
  // midway. Wine's console on a terminal still raises it as a signal
  // unless it is ignored.
  SetConsoleCtrlHandler(nullptr, TRUE);
  s.FitBufferToWindow();
  s.ShowCursor(false);
}

ConsoleDisplay::~ConsoleDisplay() {
  State& s = *state_;
  if (s.screen != INVALID_HANDLE_VALUE) {
    // Leave our buffer blank in plain colours first: a console on a terminal
    // (Wine) does not repaint the old buffer, and the terminal would keep our
    // last screen and colours.
    s.last = CellGrid(s.size, Cell{U' ', Attr{Color::kWhite, Color::kBlack, false}});
    for (int y = 0; y < s.size.rows; ++y) s.WriteRow(s.last, y, 0, s.size.cols - 1);
    SetConsoleCursorPosition(s.screen, COORD{0, 0});
    s.ShowCursor(true);
    SetConsoleActiveScreenBuffer(s.old_out);
    CloseHandle(s.screen);
    SetConsoleCtrlHandler(nullptr, FALSE);
  }
  if (s.in_mode_saved) SetConsoleMode(s.in, s.old_in_mode);
}

bool ConsoleDisplay::Ready() const { return state_->screen != INVALID_HANDLE_VALUE; }

Size ConsoleDisplay::GetSize() const { return state_->size; }

void ConsoleDisplay::ForceRepaint() { state_->force = true; }

void ConsoleDisplay::Show(const CellGrid& screen) {
  State& s = *state_;
  if (!Ready()) return;
  Size size{std::min(screen.GetSize().cols, s.size.cols),
            std::min(screen.GetSize().rows, s.size.rows)};
  bool all = s.force || s.last.GetSize() != screen.GetSize();
  bool written = true;
  for (int y = 0; y < size.rows; ++y) {
    int x0 = 0, x1 = size.cols - 1;
    if (!all) {
      while (x0 <= x1 && s.last.At(x0, y) == screen.At(x0, y)) ++x0;
      while (x1 >= x0 && s.last.At(x1, y) == screen.At(x1, y)) --x1;
    }
    if (x0 <= x1 && !s.WriteRow(screen, y, x0, x1)) written = false;
  }
  s.last = screen;
  // What did not get through is written again next time.
  s.force = !written;
  bool visible = s.cursor_visible && s.cursor.x >= 0 && s.cursor.y >= 0 &&
                 s.cursor.x < s.size.cols && s.cursor.y < s.size.rows;
  if (visible)
    SetConsoleCursorPosition(s.screen,
                             COORD{static_cast<SHORT>(s.cursor.x), static_cast<SHORT>(s.cursor.y)});
  s.ShowCursor(visible);
}

void ConsoleDisplay::SetCursor(Point p, bool visible) {
  state_->cursor = p;
  state_->cursor_visible = visible;
}

void ConsoleDisplay::Beep() {
  if (!Ready()) return;
  // The console's beep: Wine's console on a terminal passes it on as BEL
  // (a BEL written as output it drops).
  ::Beep(750, 50);
}

std::vector<void*> ConsoleDisplay::InputHandles() const {
  if (!Ready()) return {};
  return {state_->in};
}

bool ConsoleDisplay::ReadInput(Event& out) {
  State& s = *state_;
  if (!Ready()) return false;
  if (s.repeats_left > 0) {
    --s.repeats_left;
    out = s.repeated;
    return true;
  }
  for (;;) {
    // ReadConsoleInputW blocks when the buffer is empty: ask first.
    DWORD available = 0;
    if (!GetNumberOfConsoleInputEvents(s.in, &available) || available == 0) return false;
    INPUT_RECORD r;
    DWORD got = 0;
    if (!ReadConsoleInputW(s.in, &r, 1, &got) || got == 0) return false;
    if (!TranslateConsoleInput(r, GetTickCount64(), s.input, out)) continue;
    if (out.kind == EventKind::kRedisplay) {
      s.FitBufferToWindow();
      s.force = true;
    } else if (out.kind == EventKind::kKey && r.Event.KeyEvent.wRepeatCount > 1) {
      s.repeated = out;
      s.repeats_left = std::min<int>(r.Event.KeyEvent.wRepeatCount - 1, kMaxRepeat);
    }
    return true;
  }
}

}  // namespace tk
