#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/command_run.h"
#include "platform/spawn_posix.h"

namespace platform {

namespace {

// Standard error kept while the command runs: enough for its last lines.
constexpr size_t kErrorKept = 4096;
constexpr int kLookMs = 100;

std::vector<std::string> Environment(const std::vector<std::string>& extra) {
  std::vector<std::string> out = PassedEnvironment();
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Starts the command in a process group of its own; its pid, or -1.
pid_t Start(const CommandRun& run, int error_fd, std::string* problem) {
  SpawnSetup setup;
  setup.argv = run.words;
  setup.environment = Environment(run.extra_environment);
  setup.streams = {SpawnStream::Open(0, run.input_path, O_RDONLY),
                   SpawnStream::Open(1, "/dev/null", O_WRONLY), SpawnStream::Copy(2, error_fd)};
  setup.own_group = true;
  pid_t pid = -1;
  int error = Spawn(setup, &pid);
  if (error == 0) return pid;
  *problem = std::strerror(error);
  return -1;
}

enum class Read { kData, kNothingYet, kEnd };

// Reads what standard error has for now, keeping its end.
Read ReadErrors(int fd, std::string* kept) {
  char buffer[1024];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n < 0) return errno == EAGAIN || errno == EINTR ? Read::kNothingYet : Read::kEnd;
  if (n == 0) return Read::kEnd;
  kept->append(buffer, static_cast<size_t>(n));
  if (kept->size() > kErrorKept) kept->erase(0, kept->size() - kErrorKept);
  return Read::kData;
}

void Settle(int status, CommandResult* result) {
  result->exited = WIFEXITED(status);
  if (result->exited) result->exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) {
    result->signal = WTERMSIG(status);
    result->signal_name = strsignal(result->signal);
  }
}

}  // namespace

CommandResult RunCommand(const CommandRun& run, const std::function<bool()>& keep_going) {
  CommandResult result;
  if (run.words.empty()) {
    result.problem = "no command";
    return result;
  }
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    result.problem = std::string("cannot make a pipe: ") + std::strerror(errno);
    return result;
  }
  pid_t pid = Start(run, pipe_fds[1], &result.problem);
  ::close(pipe_fds[1]);
  if (pid < 0) {
    ::close(pipe_fds[0]);
    return result;
  }
  result.started = true;
  const long long deadline = NowMs() + run.time_limit_ms;
  std::string errors;
  bool reading = true;
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      Settle(status, &result);
      break;
    }
    bool expired = NowMs() >= deadline;
    bool stop = !expired && !keep_going();
    if (expired || stop) {
      result.timed_out = expired;
      result.stopped = stop;
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      Settle(status, &result);
      break;
    }
    pollfd p{pipe_fds[0], POLLIN, 0};
    if (reading && ::poll(&p, 1, kLookMs) > 0)
      reading = ReadErrors(pipe_fds[0], &errors) != Read::kEnd;
    if (!reading) ::poll(nullptr, 0, kLookMs);
  }
  // What it wrote last; a helper it left behind, still writing, cannot hold us here.
  for (int i = 0; i < 64 && ReadErrors(pipe_fds[0], &errors) == Read::kData; ++i) {
  }
  ::close(pipe_fds[0]);
  result.error_tail = LastLines(errors, kErrorTailLines);
  return result;
}

}  // namespace platform
