// Files, child processes and sockets for the host tests; their scratch
// directories are the shared TempDir.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/temp_dir.h"

namespace testing_support {

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
// A job of many screens (3,000 numbered ledger lines) that hardly compresses.
std::string ledger_job();
bool file_exists(const std::string& path);
std::vector<std::string> list_directory(const std::string& path);

// A program started with pipes on its stdin and stdout; its stderr goes to a
// file. Killed and reaped on destruction if still running.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::string& stderr_path);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool write_line(const std::string& line);
  // The next line of its stdout, without the new line; false on time-out or end.
  bool read_line(std::string* line, int timeout_ms);
  void close_stdin();
  // Waits for it to end by itself; false on time-out.
  bool wait_exit(int timeout_ms, int* status = nullptr);
  void stop();  // SIGTERM, then SIGKILL if it lingers; reaped either way

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  std::string pending_;
};

// A self-signed certificate for 127.0.0.1 (its common name, and its only
// alternative name: s3270 matches a name given as DNS before the common
// name) with its key, made by the openssl program in dir: cert.pem and
// key.pem. False when it could not be made.
bool make_loopback_certificate(const std::string& dir);

// A loopback port that was free a moment ago; 0 when none could be found.
int free_loopback_port();
// Connects to 127.0.0.1:port; -1 on failure.
int connect_loopback(int port);
// Polls until the predicate holds or the time-out passes.
template <typename Predicate>
bool eventually(Predicate predicate, int timeout_ms);
bool wait_readable(int fd, int timeout_ms);
long long monotonic_ms();

template <typename Predicate>
bool eventually(Predicate predicate, int timeout_ms) {
  const long long end = monotonic_ms() + timeout_ms;
  while (!predicate()) {
    if (monotonic_ms() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace testing_support
