#include "client/windows/about_window.h"

#include <cstdio>
#include <ctime>

#include "client/engine/settings_store.h"
#include "client/windows/help_window.h"
#include "platform/paths.h"
#include "toolkit/button.h"
#include "toolkit/canvas.h"
#include "toolkit/painter.h"
#include "toolkit/static_text.h"

namespace client::windows {

namespace {

// The start-up picture, drawn as a text banner above the product line.
const char* const kBanner[] = {
    "  ___   ___  ____  ____  ____  ___ _   _ _____ ",
    " / _ \\ / _ \\|  _ \\|  _ \\|  _ \\|_ _| \\ | |_   _|",
    "| (_) | (_) |    /|  __/|    / | ||  \\| | | |  ",
    " \\__\\_\\\\___/|_|\\_\\|_|   |_|\\_\\|___|_| \\_| |_|  ",
};

class AboutWindow : public tk::Window {
 public:
  using tk::Window::Window;
  int HandleEvent(const tk::Event& e) override {
    if (e.kind == tk::EventKind::kCommand && e.code == cmd::kOk) return cmd::kCloseModal;
    return tk::Window::HandleEvent(e);
  }
};

}  // namespace

void RunAboutWindow(DialogKit& ui, const ClientState& state, const char* bitmap, bool from_menu) {
  (void)bitmap;  // one picture: the banner
  bool first_run = false;
  bool modal = from_menu;
  if (!from_menu) {
    first_run = CheckFirstRun(DeriveProgramFiles(state.program_dir, state.program_name));
    modal = first_run;
  }
  AboutWindow window(tk::Rect{0, 0, 64, 11}, ui.texts("TITLE"));
  window.Center(ui.wm.ScreenSize());
  window.Add<tk::Canvas>(tk::Rect{0, 0, 62, 4}, [](tk::Painter& p) {
    for (int row = 0; row < 4; ++row) p.Text(8, row, kBanner[row], p.GetTheme().window);
  });
  window.Add<tk::Text>(tk::Rect{15, 5, 40, 1},
                       std::string("QORPRINT for ") + platform::kPlatformName);
  window.Add<tk::Text>(tk::Rect{11, 6, 50, 1}, "Host print jobs to files and printers");
  char version[96];
  std::snprintf(version, sizeof version, "%s release %s %s diskette: %d.%d.%d.%d",
                state.program_name.c_str(), "2.0A", state.cut_mode ? "CUT" : "", 2, 0, 0, 3);
  // Wide enough for the whole line (it would be cut at 26 cells).
  window.Add<tk::Text>(tk::Rect{23, 8, 39, 1}, version);
  if (modal) window.Add<tk::Button>(tk::Rect{10, 8, 10, 1}, ui.texts("OK"), cmd::kOk);

  if (modal) {
    ui.wm.RunModal(window, {cmd::kCloseModal});
  } else {
    ui.wm.Add(window);
    ui.wm.Redraw();
    // Up for two whole seconds of the clock, without taking events.
    std::time_t start = std::time(nullptr);
    while (std::time(nullptr) < start + 2) {
      struct timespec tick = {0, 100 * 1000000L};
      nanosleep(&tick, nullptr);
    }
    ui.wm.Remove(window);
    ui.wm.Redraw();
  }
  if (!from_menu && modal) ShowHelp(ui.help, "IRMABLURB");
}

}  // namespace client::windows
