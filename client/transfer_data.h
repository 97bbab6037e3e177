// One job's data from the host to its destination: the transfer window with
// its counts and progress bar, and the block loop.
#pragma once

#include <cstdint>
#include <string>

#include "client/progress_bar.h"
#include "toolkit/static_text.h"
#include "toolkit/window.h"

struct ClientApp;
class TransferEngine;
struct TransferCounts;

// TransferWindow. Cancel presses PF3 at once and is remembered for the block loop.
class TransferWindow : public tk::Window {
 public:
  static constexpr int kWidth = 57, kHeight = 11;
  TransferWindow(ClientApp& app, const std::string& destination);
  int HandleEvent(const tk::Event& e) override;
  // True once per Cancel: the loop then finishes the cancel with the host.
  bool TakeCancel();
  bool cancelled() const { return cancelled_; }
  void ShowCounts(const TransferCounts& c);
  ProgressBar& bar() { return *bar_; }

 private:
  ClientApp& app_;
  tk::NumberText* pages_;
  tk::NumberText* lines_;
  tk::NumberText* chars_;
  ProgressBar* bar_;
  bool cancel_pending_ = false;
  bool cancelled_ = false;
};

// Adds the block (up to its first zero byte) to the counts and moves the bar
// for percentages from 3 to 99 of the header's line (or page) count.
void CountBlock(TransferEngine& engine, const char* block, TransferWindow* window);
// The percentage CountBlock shows for the counts so far (0 when the header
// gives no usable total).
int TransferPercent(const TransferCounts& c, int32_t job_lines, int32_t job_pages);

// Runs one job to its destination (the file at path, or the open print job
// when state.to_printer is on). The file takes its name only once the job is
// complete, replacing a file of that name when replace is set, else taking
// the next free number; a job that ends early or damaged is kept as
// PATH.incomplete and logged with the reason. 1 when the job ran (also when it
// ended early), 0 when the output file could not be created.
int TransferJobData(ClientApp& app, const std::string& path, bool replace = true);
