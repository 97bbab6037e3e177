// The command a service runs after each job, with the job's facts in its
// environment. It never holds up the jobs: at most kMostRunning run at once,
// up to kMostWaiting more wait their turn, and a run that finds the queue
// full is dropped with a log line. Whatever a command does (fails, hangs,
// is killed) is only logged: the job stays as it was.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "client/engine/job_report.h"
#include "platform/child_process.h"

namespace client {

// The command's environment: the job's facts as QOR_JOB_* and, from the
// client's own, only PATH, HOME, TZ, LANG, LANGUAGE and the LC_* variables.
std::vector<std::string> JobHookEnvironment(const JobReport& report);

class JobHook {
 public:
  static constexpr size_t kMostRunning = 4;
  static constexpr size_t kMostWaiting = 32;

  // command: the words to run (none: the hook is off); say: where log lines
  // go; output: the file the commands' output is appended to ("": standard
  // error).
  JobHook(std::vector<std::string> command, int timeout_seconds,
          std::function<void(const std::string&)> say, std::string output = "");
  bool On() const { return !command_.empty(); }

  // Starts the command for the job, or queues it.
  void Run(const JobReport& report);
  // Reaps ended commands (logging failures), kills overdue ones, starts
  // waiting ones. Returns how many ms may pass before it needs to look
  // again: -1 when nothing runs.
  int Tend();
  // What a wait should also watch: ready once a command ends.
  std::vector<intptr_t> Waitables() const;
  // At the program's end: drops the waiting runs and waits up to wait_ms
  // for the running ones; those still running then are left to finish.
  void Finish(int wait_ms);
  size_t Running() const { return running_.size(); }

 private:
  struct CommandRun {
    std::string job;
    platform::ChildProcess process;
    uint64_t deadline_ms = 0;
  };
  void Start(const JobReport& report);
  void Ended(const CommandRun& run, const platform::ChildEnd& end);

  std::vector<std::string> command_;
  int timeout_seconds_;
  std::function<void(const std::string&)> say_;
  std::string output_;
  std::list<CommandRun> running_;
  std::deque<JobReport> waiting_;
};

}  // namespace client
