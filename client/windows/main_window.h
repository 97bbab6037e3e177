// The main window with its menus and status line.
#pragma once

#include "toolkit/static_text.h"
#include "toolkit/window.h"

struct ClientApp;

class MainWindow : public tk::Window {
 public:
  static constexpr int kWidth = 70, kHeight = 6;

  explicit MainWindow(ClientApp& app);  // its status line becomes the app's
  ~MainWindow() override;
  int HandleEvent(const tk::Event& e) override;
  const std::string& Status() const { return status_line_->GetText(); }
  // Greys the items of commands nobody serves.
  void UpdateMenus();

 private:
  void Command(int code);
  ClientApp& app_;
  tk::StatusLine* status_line_;
};
