// LogWindow: the transfer log as it stood when the window opened, with
// print and delete.
#pragma once

#include "toolkit/list_box.h"
#include "toolkit/window.h"

struct ClientApp;

namespace logcmd {
constexpr int kDelete = 11510, kPrint = 11520;
}

class LogWindow : public tk::Window {
 public:
  static constexpr int kWidth = 70, kHeight = 14;
  explicit LogWindow(ClientApp& app);
  int HandleEvent(const tk::Event& e) override;
  const tk::ListBox& List() const { return *list_; }

 private:
  ClientApp& app_;
  tk::ListBox* list_;
};

// Runs the log window until it closes; returns the code that ended it.
int ShowTransferLog(ClientApp& app);
// Prints the whole log on a printer chosen in the printer dialog.
void PrintTransferLog(ClientApp& app);
