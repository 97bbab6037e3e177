// LogWindow: the transfer log as it stood when the window opened, with
// print and delete.
#pragma once

#include "client/windows/window_context.h"
#include "toolkit/list_box.h"
#include "toolkit/window.h"

namespace client::windows {

namespace logcmd {
constexpr int kDelete = 11510, kPrint = 11520;
}

class LogWindow : public tk::Window {
 public:
  static constexpr int kWidth = 70, kHeight = 14;
  explicit LogWindow(PrinterSetup& printer);  // the log is printer.log
  int HandleEvent(const tk::Event& e) override;
  const tk::ListBox& List() const { return *list_; }

 private:
  PrinterSetup& printer_;
  tk::ListBox* list_;
};

// Runs the log window until it closes; returns the code that ended it.
int ShowTransferLog(PrinterSetup& printer);
// Prints the whole log on a printer chosen in the printer dialog.
void PrintTransferLog(PrinterSetup& printer);

}  // namespace client::windows
