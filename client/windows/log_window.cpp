#include "client/windows/log_window.h"

#include "client/engine/printer.h"
#include "client/engine/transfer_log.h"
#include "client/windows/help_window.h"
#include "client/windows/printer_dialog.h"
#include "toolkit/button.h"

namespace client::windows {

LogWindow::LogWindow(PrinterSetup& printer)
    : tk::Window({0, 0, kWidth, kHeight}, printer.ui.texts("LOGTITLE")), printer_(printer) {
  const InterfaceTexts& texts = printer.ui.texts;
  Center(printer.ui.wm.ScreenSize());
  list_ = &Add<tk::ListBox>(tk::Rect{1, 1, 68, 8});
  for (std::string& line : TransferLogLines(printer.log)) list_->AddItem(std::move(line));
  Add<tk::Button>(tk::Rect{1, 10, 10, 1}, texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{12, 10, 15, 1}, texts("LOGPRT"), logcmd::kPrint);
  Add<tk::Button>(tk::Rect{29, 10, 15, 1}, texts("LOGDEL"), logcmd::kDelete);
  Add<tk::Button>(tk::Rect{46, 10, 10, 1}, texts("HELP"), cmd::kHelp);
}

int LogWindow::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  switch (e.code) {
    case logcmd::kDelete: printer_.log.Clear(); return cmd::kCloseModal;
    case logcmd::kPrint: PrintTransferLog(printer_); return 0;
    case cmd::kHelp: ShowHelp(printer_.ui.help, "XFRLOG"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

int ShowTransferLog(PrinterSetup& printer) {
  int answer;
  {
    LogWindow window(printer);
    answer = printer.ui.wm.RunModal(window, {cmd::kOk, cmd::kCloseModal});
  }
  printer.ui.wm.Redraw();
  return answer;
}

void PrintTransferLog(PrinterSetup& printer) {
  PrintJob job(printer.printing, RunPrinterDialog(printer));
  if (job.HasDevice()) {
    for (const std::string& text : TransferLogPrintout(printer.log, printer.ui.texts("LOGTITLE")))
      job.PrintBuffer(text.c_str());
  }
  job.EndPrint();
}

}  // namespace client::windows
