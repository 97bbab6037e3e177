// The transfer engine without a terminal: every status text, message and log
// entry becomes one stamped line on a stream, nothing ever waits for a key,
// and the program ends once a stop event (a stop signal's) is set.
#pragma once

#include <cstdio>
#include <string>

#include "client/engine/transfer_front_end.h"
#include "platform/stop_event.h"

class HeadlessFrontEnd : public TransferFrontEnd {
 public:
  // stop: set when the program must end.
  HeadlessFrontEnd(std::FILE* out, platform::StopEvent& stop);

  // "yyyy-mm-dd hh:mm:ss kind: text", line feeds inside the text made " / ".
  void Line(const char* kind, const std::string& text);

  void ShowStatus(const std::string& text) override;
  int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) override;
  // The log's job record and outcome say all a job's progress would.
  void JobStarted(const std::string&) override {}
  void JobProgress(const TransferCounts&, int) override {}
  void JobEnded() override {}
  // Waits on the stop event only: there is no user to serve.
  UserTurn ServeUser(int timeout_ms) override;
  // A stop is seen as soon as it is set, also by a step that failed because
  // of it (the emulator providers give up their waits on the same stop).
  bool EndRequested() const override { return StopRequested(); }
  bool StopRequested() const override { return stopped_ || stop_.Wait(0); }

 private:
  std::FILE* out_;
  platform::StopEvent& stop_;
  bool stopped_ = false;
  std::string last_status_;  // a status repeated unchanged is said once
};
