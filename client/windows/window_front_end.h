// The transfer engine in windows: the transfer window with its counts,
// progress bar and Cancel, messages in boxes (on the status line when
// unattended), and the user's events served between blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "client/engine/transfer_front_end.h"
#include "client/windows/progress_bar.h"
#include "client/windows/window_context.h"
#include "toolkit/event_queue.h"
#include "toolkit/static_text.h"
#include "toolkit/window.h"

namespace client::windows {

class TransferWindow : public tk::Window {
 public:
  static constexpr int kWidth = 57, kHeight = 11;
  TransferWindow(DialogKit& ui, TransferEngine& engine, const std::string& destination);
  // Cancel (the button, Esc or a close request) cancels the job at once.
  int HandleEvent(const tk::Event& e) override;
  // Takes the counts; paints them when paint is set.
  void ShowCounts(const TransferCounts& c, bool paint = true);
  ProgressBar& Bar() { return *bar_; }

 private:
  TransferEngine& engine_;
  tk::NumberText* pages_;
  tk::NumberText* lines_;
  tk::NumberText* chars_;
  ProgressBar* bar_;
};

class WindowFrontEnd : public TransferFrontEnd {
 public:
  WindowFrontEnd(DialogKit& ui, tk::EventQueue& queue, ClientShell& shell, TransferEngine& engine);
  ~WindowFrontEnd() override;
  void ShowStatus(const std::string& text) override;
  int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) override;
  void JobStarted(const std::string& destination) override;
  void JobProgress(const TransferCounts& counts, int percent) override;
  void JobEnded() override;
  UserTurn ServeUser(int timeout_ms) override;
  bool EndRequested() const override;
  // The transfer window of the job under way, null between jobs.
  TransferWindow* GetWindow() { return window_.get(); }

 private:
  DialogKit& ui_;
  tk::EventQueue& queue_;
  ClientShell& shell_;
  TransferEngine& engine_;
  std::unique_ptr<TransferWindow> window_;
  uint64_t last_paint_ms_ = 0;
};

}  // namespace client::windows
