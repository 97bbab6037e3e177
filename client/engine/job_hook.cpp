#include "client/engine/job_hook.h"

#include <algorithm>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/command_run.h"

namespace client {

namespace {

// How often a command is looked at when the system cannot say when it ends.
constexpr int kLookWithoutWaitableMs = 200;
// The deadline of a command killed for overstaying: its end says nothing new.
constexpr uint64_t kKilled = UINT64_MAX;

}  // namespace

std::vector<std::string> JobHookEnvironment(const JobReport& report) {
  std::vector<std::string> env = platform::PassedEnvironment();
  env.push_back("QOR_JOB_FILE=" + report.file);
  env.push_back("QOR_JOB_PRINTER=" + report.printer);
  env.push_back("QOR_JOB_NAME=" + report.name);
  env.push_back("QOR_JOB_IDENT=" + report.ident);
  env.push_back(std::string("QOR_JOB_STATUS=") + JobStatusWord(report.status));
  env.push_back("QOR_JOB_LINES=" + std::to_string(report.lines));
  env.push_back("QOR_JOB_PAGES=" + std::to_string(report.pages));
  env.push_back("QOR_JOB_BYTES=" + std::to_string(report.bytes));
  env.push_back("QOR_JOB_REASON=" + report.reason);
  return env;
}

JobHook::JobHook(std::vector<std::string> command, int timeout_seconds,
                 std::function<void(const std::string&)> say, std::string output)
    : command_(std::move(command)),
      timeout_seconds_(timeout_seconds),
      say_(std::move(say)),
      output_(std::move(output)) {}

void JobHook::Run(const JobReport& report) {
  if (!On()) return;
  Tend();
  if (running_.size() < kMostRunning) return Start(report);
  if (waiting_.size() < kMostWaiting) return waiting_.push_back(report);
  say_("Command after job " + report.name + " not run: " + std::to_string(running_.size()) +
       " commands run and " + std::to_string(waiting_.size()) + " wait already");
}

void JobHook::Start(const JobReport& report) {
  CommandRun& run = running_.emplace_back();
  run.job = report.name;
  run.deadline_ms = platform::MonotonicMs() + static_cast<uint64_t>(timeout_seconds_) * 1000u;
  std::string error = run.process.Start(command_, JobHookEnvironment(report), output_);
  if (error.empty()) return;
  say_("Command after job " + report.name + " could not start: " + error);
  running_.pop_back();
}

void JobHook::Ended(const CommandRun& run, const platform::ChildEnd& end) {
  if (end.signalled)
    say_("Command after job " + run.job + " ended by signal " + std::to_string(end.code));
  else if (end.code != 0)
    say_("Command after job " + run.job + " failed with exit status " + std::to_string(end.code));
}

int JobHook::Tend() {
  const uint64_t now = platform::MonotonicMs();
  for (auto it = running_.begin(); it != running_.end();) {
    platform::ChildEnd end;
    if (it->process.Ended(&end)) {
      if (it->deadline_ms != kKilled) Ended(*it, end);
      it = running_.erase(it);
    } else if (now >= it->deadline_ms) {
      it->process.Kill();
      say_("Command after job " + it->job + " killed: still running after " +
           std::to_string(timeout_seconds_) + " s");
      it->deadline_ms = kKilled;  // reaped at a later look
      ++it;
    } else {
      ++it;
    }
  }
  while (running_.size() < kMostRunning && !waiting_.empty()) {
    JobReport next = std::move(waiting_.front());
    waiting_.pop_front();
    Start(next);
  }
  if (running_.empty()) return -1;
  uint64_t next_ms = UINT64_MAX;
  for (const CommandRun& run : running_) {
    if (run.process.Waitable() == -1 || run.deadline_ms == kKilled)
      next_ms = std::min<uint64_t>(next_ms, kLookWithoutWaitableMs);
    else
      next_ms = std::min(next_ms, run.deadline_ms > now ? run.deadline_ms - now : 0);
  }
  return static_cast<int>(std::min<uint64_t>(next_ms, 60000));
}

std::vector<intptr_t> JobHook::Waitables() const {
  std::vector<intptr_t> out;
  for (const CommandRun& run : running_) out.push_back(run.process.Waitable());
  return out;
}

void JobHook::Finish(int wait_ms) {
  if (!waiting_.empty())
    say_("Commands after " + std::to_string(waiting_.size()) +
         " jobs not run: the client is stopping");
  waiting_.clear();
  const uint64_t end = platform::MonotonicMs() + static_cast<uint64_t>(wait_ms);
  for (int next = Tend(); next >= 0; next = Tend()) {
    const uint64_t now = platform::MonotonicMs();
    if (now >= end) break;
    platform::WaitForAny(Waitables(), static_cast<int>(std::min<uint64_t>(end - now, next)));
  }
  for (const CommandRun& run : running_)
    say_("Command after job " + run.job + " left running (process " +
         std::to_string(run.process.Id()) + "): the client is stopping");
  running_.clear();
}

}  // namespace client
