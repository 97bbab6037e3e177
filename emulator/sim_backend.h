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

  Outcome Open(Deadline deadline, std::string* problem) override;
  void Close() override;
  Outcome ReadScreen(std::string* text, Deadline deadline) override;
  Outcome WriteAt(int offset, std::string_view text, Deadline deadline) override;
  Outcome Type(std::string_view text, Deadline deadline) override;
  Outcome SetCursor(int offset, Deadline deadline) override;
  int Cursor() const override;
  Outcome Press(Key key, Deadline deadline) override;
  Outcome GetKeyboard(Keyboard* state, Deadline deadline) override;
  Outcome WaitUnlock(Deadline deadline) override;
  Outcome WaitForChange(Deadline deadline) override;

 private:
  void MoveCursor(int offset);
  // While idle, shows a job that has arrived.
  void LookForWork();
  uint64_t Changes() const;

  std::shared_ptr<hostsim::Spool> spool_;
  std::unique_ptr<hostsim::HostSession> host_;
  uint64_t read_at_ = 0;  // changes() at the last read
  bool inhibited_ = false;
  // The terminal's cursor: where the host put it, until the user moves it.
  int cursor_ = 0;
  uint64_t cursor_set_at_ = ~uint64_t{0};
};

}  // namespace emulator
