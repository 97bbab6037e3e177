#include "client/windows/main_window.h"

#include "client/windows/about_window.h"
#include "client/windows/client_app.h"
#include "common/trace.h"
#include "toolkit/keys.h"

MainWindow::MainWindow(ClientApp& app)
    : tk::Window(tk::Rect{0, 0, kWidth, kHeight}, app.texts("TITLE"),
                 tk::kBorder | tk::kSystemButton | tk::kMinimizeButton | tk::kMaximizeButton),
      app_(app) {
  esc_closes = false;  // the main window ends only by EXIT or a close request
  tk::MenuBar& menu = GetMenuBar();
  menu.AddMenu("&Exit").Item(app.texts("EXIT"), cmd::kExit);
  menu.AddMenu(app.texts("TRANSFER"))
      .Item(app.texts("IMMEDIATE"), cmd::kImmediate)
      .Item(app.texts("UNATTEND"), cmd::kUnattended)
      .Separator()
      .Item(app.texts("LOG"), cmd::kTransferLog);
  menu.AddMenu(app.texts("OPTIONS"))
      .Item(app.texts("3270INT"), cmd::kInterfaceSettings)
      .Item(app.texts("PARMS"), cmd::kSessionParameters)
      .Separator()
      .Item("Debug Trace", cmd::kDebugTrace);
  menu.AddMenu(app.texts("HELP"))
      .Item(app.texts("GENHELP"), cmd::kGeneralHelp)
      .Item(app.texts("HELPINDEX"), cmd::kHelpIndex)
      .Separator()
      .Item(app.texts("ABOUT"), cmd::kAbout);
  status_line_ = &Add<tk::StatusLine>(tk::Rect{1, 1, 66, 1});
  status_line_->SetText("F6 takes the waiting job \u00b7 F10 menu");
  app.status_line = status_line_;
  UpdateMenus();
}

MainWindow::~MainWindow() {
  if (app_.status_line == status_line_) app_.status_line = nullptr;
}

void MainWindow::UpdateMenus() {
  tk::MenuBar& menu = GetMenuBar();
  menu.SetEnabled(cmd::kImmediate, static_cast<bool>(app_.commands.immediate));
  menu.SetEnabled(cmd::kUnattended, static_cast<bool>(app_.commands.unattended));
  menu.SetEnabled(cmd::kTransferLog, static_cast<bool>(app_.commands.transfer_log));
  menu.SetEnabled(cmd::kInterfaceSettings, static_cast<bool>(app_.commands.interface_settings));
  menu.SetEnabled(cmd::kSessionParameters, static_cast<bool>(app_.commands.session_parameters));
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
    case cmd::kImmediate: run(app_.commands.immediate); break;
    case cmd::kUnattended: run(app_.commands.unattended); break;
    case cmd::kTransferLog: run(app_.commands.transfer_log); break;
    case cmd::kSessionParameters: run(app_.commands.session_parameters); break;
    case cmd::kInterfaceSettings: run(app_.commands.interface_settings); break;
    case cmd::kDebugTrace:
      if (app_.trace.Start(kClientTraceFile, common::TraceMode::kFresh))
        ShowDialog(app_, "Trace Started on file: QORPRTW.TRC", "QORPRTT", 0);
      else
        ShowDialog(app_, "The trace file's path is too long for the current directory.", "QORPRTT",
                   0);
      break;
    case cmd::kGeneralHelp: ShowHelp(app_.help, "GENERAL"); break;
    case cmd::kHelpIndex: ShowHelpIndex(app_.help); break;
    case cmd::kAbout: RunAboutWindow(app_, "BMPhello", true); break;
    case cmd::kExit:
      // The unattended polling loop takes one request, the main loop the other.
      app_.wm.RequestEnd();
      if (app_.state.unattended_active) app_.wm.RequestEnd();
      break;
    default: break;
  }
}
