// What the transfer engine needs from whoever presents it: the windows of an
// attended client, or a stream of lines for a service without a terminal.
// Nothing here knows of windows.
#pragma once

#include <string>

#include "client/engine/job_report.h"
#include "client/engine/message_buttons.h"

namespace client {

struct TransferCounts;

// What one turn of serving the user brought.
enum class UserTurn {
  kNothing,  // no event came within the wait
  kServed,   // an event was handled
  kCancel,   // the user asked to stop unattended operation
  kQuit,     // the program is to end once the job in hand is done
  kStop,     // the program must end now: the job under way ends incomplete
};

class TransferFrontEnd {
 public:
  virtual ~TransferFrontEnd() = default;
  // A line of state for whoever looks (the status line).
  virtual void ShowStatus(const std::string& text) = 0;
  // A message the user should see, with MessageButtons; returns the
  // button's answer (0 when nobody is asked).
  virtual int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) = 0;
  // A job's progress: started towards destination, counts after each
  // block (percent 0 when the total is unknown), ended.
  virtual void JobStarted(const std::string& destination) = 0;
  virtual void JobProgress(const TransferCounts& counts, int percent) = 0;
  virtual void JobEnded() = 0;
  // What a job came to once it is settled: delivered or incomplete, and a
  // job set aside after failing again and again.
  virtual void JobReported(const JobReport&) {}
  // Unattended operation found the host session there (up) or gone; said
  // once per change.
  virtual void SessionChanged(bool /*up*/) {}
  // Serves at most one user event, waiting at most timeout_ms for it.
  virtual UserTurn ServeUser(int timeout_ms) = 0;
  // True once the program is to end (asked for inside a wait).
  virtual bool EndRequested() const = 0;
  // True once the program must end now (a stop signal to a service).
  virtual bool StopRequested() const { return false; }
};

}  // namespace client
