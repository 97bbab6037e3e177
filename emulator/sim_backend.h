// A host session served in-process by the host print application, for use
// without any emulator. The host answers every key at once, so the keyboard
// is never left waiting for it.
#pragma once

#include <memory>
#include <string>

#include "emulator/backend.h"

namespace hostsim {
class HostSession;
class Spool;
}  // namespace hostsim

namespace emulator {

class SimBackend : public Backend {
 public:
  // Serves the jobs in spool_directory; finished jobs move to its done/, or
  // with keep_finished stay where they are (the shipped samples).
  SimBackend(std::string spool_directory, bool keep_finished);
  // Serves a spool shared with the sessions before and after this one, so a
  // job served once (even one that could not be moved to done/) is not served
  // again by a later session of the same run.
  explicit SimBackend(std::shared_ptr<hostsim::Spool> spool);
  ~SimBackend() override;

  Outcome open(Deadline deadline, std::string* problem) override;
  void close() override;
  Outcome read_screen(std::string* text, Deadline deadline) override;
  Outcome write_at(int offset, std::string_view text, Deadline deadline) override;
  Outcome type(std::string_view text, Deadline deadline) override;
  Outcome set_cursor(int offset, Deadline deadline) override;
  int cursor() const override;
  Outcome press(Key key, Deadline deadline) override;
  Outcome keyboard(Keyboard* state, Deadline deadline) override;
  Outcome wait_unlock(Deadline deadline) override;
  Outcome wait_for_change(Deadline deadline) override;

 private:
  void move_cursor(int offset);
  // While idle, shows a job that has arrived.
  void look_for_work();
  uint64_t changes() const;

  std::shared_ptr<hostsim::Spool> spool_;
  std::unique_ptr<hostsim::HostSession> host_;
  uint64_t read_at_ = 0;  // changes() at the last read
  bool inhibited_ = false;
  // The terminal's cursor: where the host put it, until the user moves it.
  int cursor_ = 0;
  uint64_t cursor_set_at_ = ~uint64_t{0};
};

}  // namespace emulator
