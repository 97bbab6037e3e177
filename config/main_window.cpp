#include "config/main_window.h"

#include <algorithm>

#include "config/config_dialog.h"
#include "config/config_program.h"
#include "config/session_dialog.h"
#include "config/text_dialogs.h"
#include "platform/registry.h"
#include "toolkit/keys.h"

namespace config {

namespace {

// The configuration dialog's windows on the toolkit.
class ToolkitUi : public ConfigUi {
 public:
  ToolkitUi(tk::WindowManager& wm, common::MessageFile& messages) : wm_(wm), messages_(messages) {}
  void MessageBox(const std::string& text) override { ShowMessageBox(wm_, text); }
  void Information(const std::string& text) override { ShowInformation(wm_, text); }
  int YesNo(const std::string& text) override { return AskYesNo(wm_, text); }
  void OfferSessionLine() override {
    config::OfferSessionLine(wm_, messages_.MessageLinesJoined("SESSW95"));
  }

 private:
  tk::WindowManager& wm_;
  common::MessageFile& messages_;
};

constexpr int kWidth = 64;
constexpr int kHeight = 8;

}  // namespace

ConfigMainWindow::ConfigMainWindow(tk::WindowManager& wm, common::MessageFile& messages,
                                   CommandFlags flags)
    : Window({0, 0, kWidth, kHeight}, kConfigCaption,
             tk::kBorder | tk::kShadow | tk::kSystemButton | tk::kMinimizeButton),
      wm_(wm),
      messages_(messages),
      flags_(flags) {
  // At the top of the screen, so that it shows above its dialogs.
  tk::Size screen = wm.ScreenSize();
  MoveTo({std::max((screen.cols - kWidth) / 2, 0), 0});
  esc_closes = false;
  GetMenuBar()
      .AddMenu("&File")
      .Item("&Settings ...", kCmdSettings)
      .Separator()
      .Item("E&xit", kCmdExit);
  GetMenuBar().AddMenu("&Help").Item("&About DAVAVARU", kCmdAbout);
  Add<tk::Text>(tk::Rect{1, 1, kWidth - 4, 1},
                "Chooses the adapter through which QORPRINT reaches");
  Add<tk::Text>(tk::Rect{1, 2, kWidth - 4, 1}, "your 3270 emulator. F10 opens the menu.");
  status_ = &Add<tk::Text>(tk::Rect{1, 4, kWidth - 4, 1});
  if (flags_.support_flag) status_->SetText("SUPPORT: the settings are shown, never written.");
  // With AUTO the window only carries the dialog.
  if (flags_.auto_flag) SetMinimized(true);
}

void ConfigMainWindow::End(int code) {
  exit_code_ = code;
  wm_.RequestEnd();
}

void ConfigMainWindow::Settings() {
  ToolkitUi ui(wm_, messages_);
  Configurator configurator(messages_, ui, flags_);
  ConfigDialog dialog(wm_, configurator, messages_);
  dialog.Run();
  if (configurator.Wrote()) {
    // A registry file names itself; the system's registry has no file to name.
    std::string where = platform::RegistryFilePath();
    status_->SetText("Settings written to " +
                     (where.empty() ? std::string("the registry (HKEY_CURRENT_USER)") : where));
  }
  if (flags_.auto_flag) End(kExitWindowClosed);
}

int ConfigMainWindow::Command(int code) {
  switch (code) {
    case kCmdSettings: Settings(); return 0;
    case kCmdExit: End(kExitAfterFileExit); return 0;
    case kCmdAbout: ShowAboutBox(wm_); return 0;
    default: return code;
  }
}

int ConfigMainWindow::HandleEvent(const tk::Event& e) {
  if (e.kind == tk::EventKind::kKey &&
      (e.code == (tk::key::F(4) | tk::key::kAlt) || e.code == (tk::key::kCtrl | 'x'))) {
    End(kExitWindowClosed);
    return 0;
  }
  if (e.kind == tk::EventKind::kClose) {
    End(kExitWindowClosed);
    return 0;
  }
  if (e.kind == tk::EventKind::kCommand) return Command(e.code);
  return Window::HandleEvent(e);
}

}  // namespace config
