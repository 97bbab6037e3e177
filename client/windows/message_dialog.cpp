#include "client/windows/message_dialog.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "client/engine/interface_texts.h"
#include "toolkit/button.h"
#include "toolkit/commands.h"
#include "toolkit/keys.h"
#include "toolkit/static_text.h"
#include "toolkit/utf8.h"

namespace client::windows {

namespace {

struct ButtonSpec {
  unsigned bit;
  const char* key;
  int value;
};

const ButtonSpec kButtons[] = {{1, "OK", tk::cmd::kOk},        {2, "YES", tk::cmd::kYes},
                               {4, "NO", tk::cmd::kNo},        {8, "CANCEL", tk::cmd::kCancel},
                               {16, "ABORT", tk::cmd::kAbort}, {32, "RETRY", tk::cmd::kRetry},
                               {64, "HELP", tk::cmd::kHelp}};

class DialogWindow : public tk::Window {
 public:
  using tk::Window::Window;
  int HandleEvent(const tk::Event& e) override {
    if (e.kind == tk::EventKind::kClose) return tk::cmd::kCancel;
    if (e.kind == tk::EventKind::kKey && e.code == tk::key::F(1)) return tk::cmd::kHelp;
    return tk::Window::HandleEvent(e);
  }
};

}  // namespace

int MessageDialog(tk::WindowManager& wm, const InterfaceTexts& texts, std::string& text,
                  const std::string& title, unsigned buttons) {
  if ((buttons & 0xffffu) == 0) buttons = kButtonOk;
  // Lines: line feeds end them (and become NULs in the caller's text),
  // carriage returns show as blanks.
  std::vector<std::string> lines;
  std::string line;
  for (char& c : text) {
    if (c == '\r') c = ' ';
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      c = '\0';
    } else {
      line += c;
    }
  }
  lines.push_back(line);

  int widest = 0;
  for (const auto& l : lines) widest = std::max(widest, tk::TextCells(l));
  const int n = std::popcount(buttons & 0xffffu);
  int w = std::max(widest, 12 * n);
  w = std::min(w, 80);
  const int h = static_cast<int>(lines.size());
  const tk::Size screen = wm.ScreenSize();
  const int width = w + 4;
  const int height = h + 6;
  const int left = (screen.cols - width) / 2;
  const int top = (screen.rows - (h + 5)) / 2;

  DialogWindow dialog(tk::Rect{left, top, width, height}, title.empty() ? "QORPRTW" : title);
  dialog.cancel_closes = false;  // Cancel reports 10014 like any other button
  // Window rows and columns counted from the frame; controls sit in the client area.
  for (int i = 0; i < h; ++i)
    dialog.Add<tk::Text>(tk::Rect{1, i, width - 3, 1}, lines[static_cast<size_t>(i)]);
  int x = (width - 12 * n) / 2;
  for (const ButtonSpec& b : kButtons) {
    if (!(buttons & b.bit)) continue;
    dialog.Add<tk::Button>(tk::Rect{x - 1, height - 4, 10, 1}, texts(b.key), b.value);
    x += 12;
  }
  wm.Beep();
  int result = wm.RunModal(dialog, [](int code) { return (code >= 10010 && code <= 10098); });
  return result;
}

}  // namespace client::windows
