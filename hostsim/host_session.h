// The host print application's side of one terminal session, independent of
// how the terminal is attached: it paints screens into a Screen, and reacts to
// typing and keys.
//
//   Idle --(job in spool)--> Header --(start command + PF6/PF7)--> Data ...
//   Header --PF3--> job cancelled (failed/), next Header or Idle
//   Data --Clear--> next Data or EndMarker;  Data --PF3--> EndMarker (cancelled)
//   EndMarker --Clear--> job delivered (done/; failed/ when cancelled),
//                        next Header or Idle
//   any other key repaints the current screen. Only the Clear on the end
//   marker is the terminal's word that the job is safe: a session that ends
//   before it leaves the job in the spool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "hostsim/job.h"
#include "hostsim/keys.h"
#include "hostsim/screen.h"
#include "hostsim/screen_encoder.h"
#include "hostsim/spool.h"

namespace hostsim {

using LogSink = std::function<void(const std::string& line)>;

struct SessionOptions {
  char level = 'V';  // level letter on the header screen
  // Data characters per screen; 0: all the data screen holds (its size less
  // the field attribute). Never more than that.
  std::size_t screen_capacity = 0;
  // The screen data screens are painted on: the terminal's alternate screen
  // when the host uses it, else the default 24 x 80.
  ScreenGeometry data_geometry = kDefaultGeometry;
  bool log_blocks = false;   // one log line per data screen
  int cursor_position = 80;  // away from 0: some scripts wait for "cursor in an input field"
  // The terminal's LU name: its own jobs (SPOOL/lu/NAME/) come before the
  // common ones. Empty: common jobs only.
  std::string lu;
};

enum class SessionState { Idle, Header, Data, EndMarker };
const char* state_name(SessionState state);

class HostSession {
 public:
  // Paints the first job's header, or the idle screen.
  HostSession(Spool& spool, SessionOptions options = {}, LogSink log = {});
  // A job that was not delivered goes back to the spool.
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  const Screen& screen() const { return screen_; }
  // Counts the host's paints (repaints included); the user's typing does not count.
  uint64_t change_count() const { return change_count_; }
  SessionState state() const { return state_; }
  const Job* job() const { return job_.get(); }
  ScreenForm form() const { return form_; }
  // Distinct data screens painted for the current job.
  std::size_t blocks_sent() const { return blocks_sent_; }

  // The user types at a position; see Screen::type.
  std::size_t type(int position, std::string_view text) { return screen_.type(position, text); }
  void press(Key key);
  // While idle: paint the header of a job that has arrived. True when it did.
  bool look_for_job();
  // The terminal went away: the job stays in the spool; the session goes idle.
  void abandon();

 private:
  void paint(std::string text);
  void repaint();
  void show_next_job_or_idle();
  void start_job(ScreenForm form);
  void paint_next_block();
  void paint_end_marker();
  void deliver_job();
  void cancel_job();              // the job goes to failed/
  void file_job(bool cancelled);  // to done/, or failed/ when cancelled
  void log(const std::string& line) const;
  std::size_t data_capacity() const;
  std::string job_name() const;  // job_ident without its padding

  Spool& spool_;
  SessionOptions options_;
  LogSink log_;
  Screen screen_;
  std::string painted_text_;
  uint64_t change_count_ = 0;
  SessionState state_ = SessionState::Idle;
  std::unique_ptr<Job> job_;
  std::optional<JobEncoder> encoder_;
  ScreenForm form_ = ScreenForm::Plain;
  std::size_t blocks_sent_ = 0;
  bool cancelled_ = false;  // PF3 during the data
};

}  // namespace hostsim
