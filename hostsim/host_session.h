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

enum class SessionState { kIdle, kHeader, kData, kEndMarker };
const char* StateName(SessionState state);

class HostSession {
 public:
  // Paints the first job's header, or the idle screen.
  HostSession(Spool& spool, SessionOptions options = {}, LogSink log = {});
  // A job that was not delivered goes back to the spool.
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  const Screen& GetScreen() const { return screen_; }
  // Counts the host's paints (repaints included); the user's typing does not count.
  uint64_t ChangeCount() const { return change_count_; }
  SessionState GetState() const { return state_; }
  const Job* GetJob() const { return job_.get(); }
  ScreenForm Form() const { return form_; }
  // Distinct data screens painted for the current job.
  std::size_t BlocksSent() const { return blocks_sent_; }

  // The user types at a position; see Screen::type.
  std::size_t Type(int position, std::string_view text) { return screen_.Type(position, text); }
  void Press(Key key);
  // While idle: paint the header of a job that has arrived. True when it did.
  bool LookForJob();
  // The terminal went away: the job stays in the spool; the session goes idle.
  void Abandon();

 private:
  void Paint(std::string text);
  void Repaint();
  void ShowNextJobOrIdle();
  void StartJob(ScreenForm form);
  void PaintNextBlock();
  void PaintEndMarker();
  void DeliverJob();
  void CancelJob();              // the job goes to failed/
  void FileJob(bool cancelled);  // to done/, or failed/ when cancelled
  void Log(const std::string& line) const;
  std::size_t DataCapacity() const;
  std::string JobName() const;  // job_ident without its padding

  Spool& spool_;
  SessionOptions options_;
  LogSink log_;
  Screen screen_;
  std::string painted_text_;
  uint64_t change_count_ = 0;
  SessionState state_ = SessionState::kIdle;
  std::unique_ptr<Job> job_;
  std::optional<JobEncoder> encoder_;
  ScreenForm form_ = ScreenForm::kPlain;
  std::size_t blocks_sent_ = 0;
  bool cancelled_ = false;  // PF3 during the data
};

}  // namespace hostsim
