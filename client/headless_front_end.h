// The transfer engine without a terminal: every status text, message and log
// entry becomes one stamped line on a stream, nothing ever waits for a key,
// and the program ends when a file descriptor (a stop signal's pipe) becomes
// readable.
#pragma once

#include <cstdio>
#include <string>

#include "client/transfer_front_end.h"

class HeadlessFrontEnd : public TransferFrontEnd {
 public:
  // stop_fd: readable when the program must end; -1 for never.
  HeadlessFrontEnd(std::FILE* out, int stop_fd);

  // "yyyy-mm-dd hh:mm:ss kind: text", line feeds inside the text made " / ".
  void Line(const char* kind, const std::string& text);

  void ShowStatus(const std::string& text) override;
  int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) override;
  // The log's job record and outcome say all a job's progress would.
  void JobStarted(const std::string&) override {}
  void JobProgress(const TransferCounts&, int) override {}
  void JobEnded() override {}
  // Waits on the stop descriptor only: there is no user to serve.
  UserTurn ServeUser(int timeout_ms) override;
  bool EndRequested() const override { return stopped_; }
  bool StopRequested() const override { return stopped_; }

 private:
  std::FILE* out_;
  int stop_fd_;
  bool stopped_ = false;
  std::string last_status_;  // a status repeated unchanged is said once
};
