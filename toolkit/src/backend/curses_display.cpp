// The ncursesw back-end. Curses does terminal set-up, terminfo and key
// decoding; the toolkit composes whole screens and this file sends the
// cells that changed.
#include "toolkit/curses_display.h"

#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cwchar>

#include "toolkit/ascii_fallback.h"
#include "toolkit/keys.h"

namespace tk {

namespace {

int g_winch_pipe[2] = {-1, -1};

// SIGWINCH only writes the pipe; ReadInput turns it into a resize event.
void OnWinch(int) {
  int saved = errno;
  if (g_winch_pipe[1] >= 0) {
    char c = 1;
    [[maybe_unused]] ssize_t n = write(g_winch_pipe[1], &c, 1);
  }
  errno = saved;
}

short CursesColor(Color c) {
  static const short kMap[] = {COLOR_BLACK, COLOR_RED,     COLOR_GREEN, COLOR_YELLOW,
                               COLOR_BLUE,  COLOR_MAGENTA, COLOR_CYAN,  COLOR_WHITE};
  return kMap[static_cast<int>(c)];
}

// The terminal's own line drawing, for a locale without UTF-8; 0 for a
// character it has no form of.
chtype LineDrawing(char32_t ch) {
  switch (ch) {
    case U'─':
    case U'═': return ACS_HLINE;
    case U'│':
    case U'║': return ACS_VLINE;
    case U'┌':
    case U'╔': return ACS_ULCORNER;
    case U'┐':
    case U'╗': return ACS_URCORNER;
    case U'└':
    case U'╚': return ACS_LLCORNER;
    case U'┘':
    case U'╝': return ACS_LRCORNER;
    case U'├': return ACS_LTEE;
    case U'┤': return ACS_RTEE;
    case U'▲':
    case U'↑': return ACS_UARROW;
    case U'▼':
    case U'↓': return ACS_DARROW;
    case U'►': return ACS_RARROW;
    case U'◄': return ACS_LARROW;
    case U'█':
    case U'■': return ACS_BLOCK;
    case U'░': return ACS_CKBOARD;
    case U'•': return ACS_BULLET;
    default: return 0;
  }
}

// Whether the locale's own character set holds the character (Latin-1
// letters in an ISO 8859-1 locale).
bool LocaleHas(char32_t ch) {
  char bytes[MB_LEN_MAX];
  std::mbstate_t state{};
  return ch >= 0x80 &&
         std::wcrtomb(bytes, static_cast<wchar_t>(ch), &state) != static_cast<size_t>(-1);
}

// One cell in a locale without UTF-8: line drawing, the locale's own
// character, else the ASCII stand-in.
void PutNarrow(int y, int x, char32_t ch, attr_t a, short pair) {
  if (chtype line = LineDrawing(ch)) {
    mvaddch(y, x, line | a | COLOR_PAIR(pair));
  } else if (LocaleHas(ch)) {
    wchar_t wc[2] = {static_cast<wchar_t>(ch), 0};
    cchar_t cc;
    setcchar(&cc, wc, a, pair, nullptr);
    mvadd_wch(y, x, &cc);
  } else {
    mvaddch(y, x, static_cast<unsigned char>(AsciiFallback(ch)) | a | COLOR_PAIR(pair));
  }
}

}  // namespace

struct CursesDisplay::State {
  SCREEN* screen = nullptr;
  int in_fd = STDIN_FILENO, out_fd = STDOUT_FILENO;
  FILE* in = stdin;
  FILE* out = stdout;
  bool own_files = false;
  struct sigaction old_winch {};
  bool utf8 = false;
  bool colors = false;
  CellGrid last;
  bool force = true;
  Point cursor;
  bool cursor_visible = false;
  // Double clicks: a second press on the same cell soon after the first.
  std::chrono::steady_clock::time_point last_press;
  Point last_press_at{-1, -1};
  int pushed_back = 0;  // a key read together with a lone Esc

  bool ReadResize(Event& out);
  bool ReadMouse(Event& out);
  Event ReadAfterEscape();
};

// A resize the SIGWINCH handler signalled through the pipe.
bool CursesDisplay::State::ReadResize(Event& out) {
  char buf[32];
  bool resized = false;
  while (g_winch_pipe[0] >= 0 && read(g_winch_pipe[0], buf, sizeof buf) > 0) resized = true;
  if (!resized) return false;
  struct winsize ws {};
  if (ioctl(out_fd, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0)
    resize_term(ws.ws_row, ws.ws_col);
  force = true;
  out = Event::Redisplay(kResized);
  return true;
}

// The mouse event curses has for us; false for one the toolkit does not use.
bool CursesDisplay::State::ReadMouse(Event& out) {
  MEVENT me;
  if (getmouse(&me) != OK) return false;
  auto now = std::chrono::steady_clock::now();
  if (me.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)) {
    bool twice = me.x == last_press_at.x && me.y == last_press_at.y &&
                 now - last_press < std::chrono::milliseconds(400);
    last_press = now;
    last_press_at = twice ? Point{-1, -1} : Point{me.x, me.y};
    out = Event::Mouse(twice ? kMouseDoubleClick : kMousePress, me.x, me.y, 1);
    return true;
  }
  if (me.bstate & BUTTON1_RELEASED) {
    out = Event::Mouse(kMouseRelease, me.x, me.y, 1);
    return true;
  }
  if (me.bstate & BUTTON3_PRESSED) {
    out = Event::Mouse(kMousePress, me.x, me.y, 3);
    return true;
  }
  if (me.bstate & BUTTON4_PRESSED) {
    out = Event::Mouse(kMouseWheelUp, me.x, me.y, 0);
    return true;
  }
#ifdef BUTTON5_PRESSED
  if (me.bstate & BUTTON5_PRESSED) {
    out = Event::Mouse(kMouseWheelDown, me.x, me.y, 0);
    return true;
  }
#endif
  return false;
}

// Esc followed at once by a key is Alt+key; give the rest of a sequence a
// moment to arrive before deciding it was Esc alone.
Event CursesDisplay::State::ReadAfterEscape() {
  wint_t next;
  int r2 = get_wch(&next);
  if (r2 == ERR) {
    pollfd pfd{in_fd, POLLIN, 0};
    if (poll(&pfd, 1, 20) > 0) r2 = get_wch(&next);
  }
  if (r2 != ERR) {
    int k = TranslateCursesKey(static_cast<int>(next), r2 == KEY_CODE_YES,
                               r2 == KEY_CODE_YES ? keyname(static_cast<int>(next)) : nullptr);
    // Terminals send Alt+character as Esc and the character; a special
    // key after Esc (which has its own Alt form) means Esc was pressed alone.
    if (r2 == OK && k != 0 && k != key::kEscape && key::Base(k) < key::kSpecial)
      return Event::Key(k | key::kAlt);
    pushed_back = k;
  }
  return Event::Key(key::kEscape);
}

bool CursesDisplay::Available() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

CursesDisplay::CursesDisplay() : CursesDisplay(-1, -1, nullptr) {}

CursesDisplay::CursesDisplay(int in_fd, int out_fd, const char* term)
    : state_(std::make_unique<State>()) {
  if (in_fd >= 0 && out_fd >= 0) {
    state_->in_fd = in_fd;
    state_->out_fd = out_fd;
    state_->in = fdopen(dup(in_fd), "r");
    state_->out = fdopen(dup(out_fd), "w");
    state_->own_files = true;
    if (!state_->in || !state_->out) return;
  }
  if (std::setlocale(LC_CTYPE, "") == nullptr) std::setlocale(LC_CTYPE, "C.UTF-8");
  // By the codeset, not MB_CUR_MAX: other multibyte sets lack the frames.
  state_->utf8 = CodesetIsUtf8(nl_langinfo(CODESET));
  if (pipe2(g_winch_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_winch_pipe[0] = g_winch_pipe[1] = -1;
  struct sigaction sa {};
  sa.sa_handler = OnWinch;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGWINCH, &sa, &state_->old_winch);

  // Short escape delay: Esc alone must not feel sluggish.
  if (std::getenv("ESCDELAY") == nullptr) set_escdelay(25);
  state_->screen = newterm(term, state_->out, state_->in);
  if (state_->screen == nullptr) return;
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  DefineCommonKeySequences();
  nodelay(stdscr, TRUE);
  meta(stdscr, TRUE);
  curs_set(0);
  if (has_colors()) {
    start_color();
    // Pair fg * 8 + bg; pair 0 is fixed by curses, and black on black is never drawn.
    state_->colors = COLOR_PAIRS >= 64;
    if (state_->colors)
      for (int pair = 1; pair < 64; ++pair)
        init_pair(static_cast<short>(pair), CursesColor(static_cast<Color>(pair / 8)),
                  CursesColor(static_cast<Color>(pair % 8)));
  }
  mouseinterval(0);  // double clicks are recognised here, not by curses
  mousemask(ALL_MOUSE_EVENTS, nullptr);
}

CursesDisplay::~CursesDisplay() {
  if (state_->screen != nullptr) {
    curs_set(1);
    endwin();
    delscreen(state_->screen);
  }
  if (state_->own_files) {
    if (state_->in) fclose(state_->in);
    if (state_->out) fclose(state_->out);
  }
  sigaction(SIGWINCH, &state_->old_winch, nullptr);
  for (int& fd : g_winch_pipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

bool CursesDisplay::Ready() const { return state_->screen != nullptr; }

Size CursesDisplay::GetSize() const {
  if (state_->screen == nullptr) return {80, 25};
  return {COLS, LINES};
}

void CursesDisplay::ForceRepaint() { state_->force = true; }

void CursesDisplay::Show(const CellGrid& screen) {
  State& s = *state_;
  if (s.screen == nullptr) return;
  Size size = screen.GetSize();
  bool all = s.force || s.last.GetSize() != size;
  if (all) clearok(stdscr, TRUE);
  for (int y = 0; y < size.rows && y < LINES; ++y) {
    for (int x = 0; x < size.cols && x < COLS; ++x) {
      const Cell& c = screen.At(x, y);
      if (!all && s.last.At(x, y) == c) continue;
      attr_t a = c.attr.bold ? A_BOLD : A_NORMAL;
      short pair = 0;
      if (s.colors) {
        pair = static_cast<short>(static_cast<int>(c.attr.fg) * 8 + static_cast<int>(c.attr.bg));
        if (pair == 0) pair = static_cast<short>(static_cast<int>(Color::kWhite) * 8);
      } else if (c.attr.bg != Color::kBlack) {
        a |= A_REVERSE;
      }
      if (s.utf8) {
        wchar_t wc[2] = {static_cast<wchar_t>(c.ch), 0};
        cchar_t cc;
        setcchar(&cc, wc, a, pair, nullptr);
        mvadd_wch(y, x, &cc);
      } else {
        PutNarrow(y, x, c.ch, a, pair);
      }
    }
  }
  s.last = screen;
  s.force = false;
  if (s.cursor_visible) {
    curs_set(1);
    move(s.cursor.y, s.cursor.x);
  } else {
    curs_set(0);
  }
  refresh();
}

void CursesDisplay::SetCursor(Point p, bool visible) {
  state_->cursor = p;
  state_->cursor_visible = visible;
}

void CursesDisplay::Beep() {
  if (state_->screen != nullptr) beep();
}

std::vector<int> CursesDisplay::InputFds() const {
  std::vector<int> fds{state_->in_fd};
  if (g_winch_pipe[0] >= 0) fds.push_back(g_winch_pipe[0]);
  return fds;
}

bool CursesDisplay::ReadInput(Event& out) {
  State& s = *state_;
  if (s.screen == nullptr) return false;
  if (s.pushed_back != 0) {
    out = Event::Key(s.pushed_back);
    s.pushed_back = 0;
    return true;
  }
  if (s.ReadResize(out)) return true;
  for (;;) {
    wint_t ch;
    int r = get_wch(&ch);
    if (r == ERR) return false;
    if (r == KEY_CODE_YES && ch == KEY_RESIZE) {
      s.force = true;
      out = Event::Redisplay(kResized);
      return true;
    }
    if (r == KEY_CODE_YES && ch == KEY_MOUSE) {
      if (s.ReadMouse(out)) return true;
      continue;
    }
    if (r == OK && ch == 27) {
      out = s.ReadAfterEscape();
      return true;
    }
    int k = TranslateCursesKey(static_cast<int>(ch), r == KEY_CODE_YES,
                               r == KEY_CODE_YES ? keyname(static_cast<int>(ch)) : nullptr);
    if (k == 0) continue;
    out = Event::Key(k);
    return true;
  }
}

}  // namespace tk
