#include "client/windows/log_window.h"

#include "client/engine/printer.h"
#include "client/engine/transfer_log.h"
#include "client/windows/client_app.h"
#include "client/windows/printer_dialog.h"
#include "toolkit/button.h"

LogWindow::LogWindow(ClientApp& app)
    : tk::Window({0, 0, kWidth, kHeight}, app.texts("LOGTITLE")), app_(app) {
  Center(app.wm.ScreenSize());
  list_ = &Add<tk::ListBox>(tk::Rect{1, 1, 68, 8});
  for (std::string& line : TransferLogLines(app.engine.log)) list_->AddItem(std::move(line));
  Add<tk::Button>(tk::Rect{1, 10, 10, 1}, app.texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{12, 10, 15, 1}, app.texts("LOGPRT"), logcmd::kPrint);
  Add<tk::Button>(tk::Rect{29, 10, 15, 1}, app.texts("LOGDEL"), logcmd::kDelete);
  Add<tk::Button>(tk::Rect{46, 10, 10, 1}, app.texts("HELP"), cmd::kHelp);
}

int LogWindow::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  switch (e.code) {
    case logcmd::kDelete: app_.engine.log.Clear(); return cmd::kCloseModal;
    case logcmd::kPrint: PrintTransferLog(app_); return 0;
    case cmd::kHelp: ShowHelp(app_.help, "XFRLOG"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

int ShowTransferLog(ClientApp& app) {
  int answer;
  {
    LogWindow window(app);
    answer = app.wm.RunModal(window, {cmd::kOk, cmd::kCloseModal});
  }
  app.wm.Redraw();
  return answer;
}

void PrintTransferLog(ClientApp& app) {
  PrintJob printer(app.state.printing, RunPrinterDialog(app));
  if (printer.HasDevice()) {
    for (const std::string& text : TransferLogPrintout(app.engine.log, app.texts("LOGTITLE")))
      printer.PrintBuffer(text.c_str());
  }
  printer.EndPrint();
}
