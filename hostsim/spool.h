// A spool directory of print jobs: one file a job, taken in name order. A
// finished job moves to done/ beside it, a cancelled one to failed/ (or, when
// asked, either stays where it is and is only remembered as served). Several sessions of one
// process share a Spool, and a job claimed by one is invisible to the others until it is released.
// Jobs in lu/NAME/ are for the terminal connected as LU NAME only and come before the common jobs
// in the directory itself.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "hostsim/job.h"

namespace hostsim {

struct SpoolOptions {
  bool keep_finished = false;           // leave finished jobs in place (demo spools)
  std::size_t largest_job = 64u << 20;  // larger files are refused
};

class Spool {
 public:
  explicit Spool(std::string directory, SpoolOptions options = {});

  const std::string& Directory() const { return directory_; }
  // The first job file in name order that nobody has claimed, the LU's own
  // first (lu may be empty); null when there is none. Files that cannot be
  // read are skipped (reason in *problem).
  std::unique_ptr<Job> ClaimNext(const std::string& lu, std::string* problem = nullptr);
  std::unique_ptr<Job> ClaimNext(std::string* problem = nullptr) { return ClaimNext({}, problem); }
  // The job goes back to the pool untouched (its session went away).
  void Release(const Job& job);
  // The job was delivered: move it to done/ (a name already there gets a
  // ".N" suffix). False, with the reason, when the move failed; the job is
  // then not offered again by this Spool.
  bool Finish(const Job& job, std::string* problem = nullptr) {
    return FileAway(job, "done", problem);
  }
  // The job was cancelled: moved to failed/ the same way.
  bool Fail(const Job& job, std::string* problem = nullptr) {
    return FileAway(job, "failed", problem);
  }
  // True when a claimable job file exists (cheap: no file is read).
  bool HasWaitingJob(const std::string& lu = {});

 private:
  // The spool key of the first claimable file in a lane ("" or "lu/NAME/").
  std::string NextCandidate(const std::string& lane);
  std::string NextCandidateFor(const std::string& lu);
  bool FileAway(const Job& job, const char* shelf, std::string* problem);

  std::string directory_;
  SpoolOptions options_;
  std::set<std::string> claimed_;
  std::set<std::string> passed_over_;  // finished in place, or unreadable
  // A job offered again keeps its number, as a host's job number stays with
  // the job: a terminal can tell a job it has seen before.
  std::map<std::string, unsigned> numbers_;
  unsigned next_number_ = 1;
};

}  // namespace hostsim
