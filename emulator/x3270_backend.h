// A host session in an x3270-family emulator, driven over its script
// protocol: either an s3270 child that this object starts and owns, or a
// running emulator's script port.
//
// AIDs never block the emulator (aidWait is off); the keyboard lock on every
// status line tells when the host has answered. Every step is judged by the
// status line, since "ok" alone also follows a dropped host.
//
// Each command line is a round trip to the emulator, so what one reply told
// is used while it is fresh: a screen read and a status line stand for the
// emulator's state for a few milliseconds, as long as nothing has been sent
// since, and a wait for the host (an attention key's too) reads the screen on
// the same line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/session_options.h"
#include "emulator/backend.h"
#include "emulator/child_process.h"
#include "emulator/script_channel.h"

namespace emulator {

class X3270Backend : public Backend {
 public:
  // Starts `program` (s3270 unless $QOR_S3270 names another) with the
  // session's options and connects it to host:port.
  static std::unique_ptr<X3270Backend> OwnChild(std::string host, int port,
                                                session_options::Options options = {});
  // Attaches to the script port of an emulator already connected to its
  // host; its screen size and code page are taken as they are.
  static std::unique_ptr<X3270Backend> Attach(std::string host, int port);
  ~X3270Backend() override;

  Outcome open(Deadline deadline, std::string* problem) override;
  void close() override;
  Outcome read_screen(std::string* text, Deadline deadline) override;
  Outcome read_start(std::string* text, int length, Deadline deadline) override;
  Outcome write_at(int offset, std::string_view text, Deadline deadline) override;
  Outcome type(std::string_view text, Deadline deadline) override;
  Outcome set_cursor(int offset, Deadline deadline) override;
  int cursor() const override;
  Outcome press(Key key, Deadline deadline) override;
  Outcome keyboard(Keyboard* state, Deadline deadline) override;
  Outcome wait_unlock(Deadline deadline) override;
  Outcome wait_for_change(Deadline deadline) override;

  pid_t child_pid() const { return child_.pid(); }

 private:
  X3270Backend(bool own_child, std::string host, int port, session_options::Options options);
  enum class Sent { Ok, Refused, Lost };
  // Runs one command line. Lost means the emulator is gone (wedged, dead or
  // disconnected from its host); the session is then torn down.
  Sent run(const std::string& command, ScriptReply* reply, Deadline deadline);
  Outcome lost();
  Outcome refused_typing(const ScriptReply& reply);
  Outcome ready_for_input(Deadline deadline);
  Outcome wait_for(const char* what, Deadline deadline, bool then_read);
  // The model's largest screen and the code page, as the emulator says.
  void learn_session(Deadline deadline);
  // Why s3270's Connect() failed, with the system's reason where we can learn it.
  std::string connect_failure(const ScriptReply& reply, Deadline deadline);
  // Takes the screen text at the end of reply as the screen now.
  void keep_image(const ScriptReply& reply);
  bool fresh(uint64_t at_ms) const;
  bool image_fresh() const { return image_valid_ && fresh(image_ms_); }

  bool own_child_;
  std::string host_;
  int port_;
  session_options::Options options_;
  ChildProcess child_;
  ScriptChannel channel_;
  ScriptStatus status_;
  bool inhibited_ = false;  // the lock on status_ is an operator error
  bool open_ = false;
  uint64_t status_ms_ = 0;  // when status_ came
  std::string image_;       // the last screen read (Latin-1), valid until anything is sent
  bool image_valid_ = false;
  uint64_t image_ms_ = 0;
};

// The s3270 command line for a session's options: each value its own
// argument, so nothing in it is ever read by a shell.
std::vector<std::string> S3270Arguments(const session_options::Options& options);
// The Connect() command for host:port with the TLS and LU prefixes; the
// argument is quoted (the values are checked to need no escaping).
std::string ConnectCommand(const std::string& host, int port,
                           const session_options::Options& options);

// The String() argument for text: quoted, with backslash and quote escaped
// and Latin-1 turned into UTF-8. Control characters become blanks.
std::string QuoteForString(std::string_view text);

}  // namespace emulator
