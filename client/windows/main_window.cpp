#include "client/windows/main_window.h"

#include "client/engine/client_core.h"
#include "client/windows/about_window.h"
#include "common/trace.h"
#include "toolkit/keys.h"

namespace client::windows {

MainWindow::MainWindow(DialogKit& ui, ClientShell& shell, const MenuCommands& commands,
                       common::Tracer& trace, const ClientState& state)
    : tk::Window(tk::Rect{0, 0, kWidth, kHeight}, ui.texts("TITLE"),
                 tk::kBorder | tk::kSystemButton | tk::kMinimizeButton | tk::kMaximizeButton),
      ui_(ui),
      shell_(shell),
      commands_(commands),
      trace_(trace),
      state_(state) {
  esc_closes = false;  // the main window ends only by EXIT or a close request
  tk::MenuBar& menu = GetMenuBar();
  menu.AddMenu("&Exit").Item(ui.texts("EXIT"), cmd::kExit);
  menu.AddMenu(ui.texts("TRANSFER"))
      .Item(ui.texts("IMMEDIATE"), cmd::kImmediate)
      .Item(ui.texts("UNATTEND"), cmd::kUnattended)
      .Separator()
      .Item(ui.texts("LOG"), cmd::kTransferLog);
  menu.AddMenu(ui.texts("OPTIONS"))
      .Item(ui.texts("3270INT"), cmd::kInterfaceSettings)
      .Item(ui.texts("PARMS"), cmd::kSessionParameters)
      .Separator()
      .Item("Debug Trace", cmd::kDebugTrace);
  menu.AddMenu(ui.texts("HELP"))
      .Item(ui.texts("GENHELP"), cmd::kGeneralHelp)
      .Item(ui.texts("HELPINDEX"), cmd::kHelpIndex)
      .Separator()
      .Item(ui.texts("ABOUT"), cmd::kAbout);
  status_line_ = &Add<tk::StatusLine>(tk::Rect{1, 1, 66, 1});
  status_line_->SetText("F6 takes the waiting job \u00b7 F10 menu");
  UpdateMenus();
}

void MainWindow::UpdateMenus() {
  tk::MenuBar& menu = GetMenuBar();
  menu.SetEnabled(cmd::kImmediate, static_cast<bool>(commands_.immediate));
  menu.SetEnabled(cmd::kUnattended, static_cast<bool>(commands_.unattended));
  menu.SetEnabled(cmd::kTransferLog, static_cast<bool>(commands_.transfer_log));
  menu.SetEnabled(cmd::kInterfaceSettings, static_cast<bool>(commands_.interface_settings));
  menu.SetEnabled(cmd::kSessionParameters, static_cast<bool>(commands_.session_parameters));
}

int MainWindow::HandleEvent(const tk::Event& e) {
  if (e.kind == tk::EventKind::kKey) {
    int code = 0;
    if (e.code == (tk::key::F(4) | tk::key::kAlt) || e.code == (tk::key::kCtrl | 'x'))
      code = cmd::kExit;
    else if (e.code == tk::key::F(6))
      code = cmd::kImmediate;
    else if (e.code == tk::key::F(1))
      code = cmd::kGeneralHelp;
    if (code) {
      Command(code);
      return code;
    }
  }
  if (e.kind == tk::EventKind::kClose) {
    if (Manager()) Manager()->RequestEnd();
    return 0;
  }
  if (e.kind == tk::EventKind::kCommand && e.code >= 10000) {
    Command(e.code);
    return e.code;
  }
  return tk::Window::HandleEvent(e);
}

void MainWindow::Command(int code) {
  auto run = [](const std::function<void()>& fn) {
    if (fn) fn();
  };
  switch (code) {
    case cmd::kImmediate: run(commands_.immediate); break;
    case cmd::kUnattended: run(commands_.unattended); break;
    case cmd::kTransferLog: run(commands_.transfer_log); break;
    case cmd::kSessionParameters: run(commands_.session_parameters); break;
    case cmd::kInterfaceSettings: run(commands_.interface_settings); break;
    case cmd::kDebugTrace:
      if (trace_.Start(kClientTraceFile, common::TraceMode::kFresh))
        shell_.ShowDialog("Trace Started on file: QORPRTW.TRC", "QORPRTT", 0);
      else
        shell_.ShowDialog("The trace file's path is too long for the current directory.", "QORPRTT",
                          0);
      break;
    case cmd::kGeneralHelp: ShowHelp(ui_.help, "GENERAL"); break;
    case cmd::kHelpIndex: ShowHelpIndex(ui_.help); break;
    case cmd::kAbout: RunAboutWindow(ui_, state_, "BMPhello", true); break;
    case cmd::kExit:
      // The unattended polling loop takes one request, the main loop the other.
      ui_.wm.RequestEnd();
      if (state_.unattended_active) ui_.wm.RequestEnd();
      break;
    default: break;
  }
}

}  // namespace client::windows
