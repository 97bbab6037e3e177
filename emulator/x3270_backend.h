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
                                                common::session_options::Options options = {});
  // Attaches to the script port of an emulator already connected to its
  // host; its screen size and code page are taken as they are.
  static std::unique_ptr<X3270Backend> Attach(std::string host, int port);
  ~X3270Backend() override;

  Outcome Open(Deadline deadline, std::string* problem) override;
  void Close() override;
  Outcome ReadScreen(std::string* text, Deadline deadline) override;
  Outcome ReadStart(std::string* text, int length, Deadline deadline) override;
  Outcome WriteAt(int offset, std::string_view text, Deadline deadline) override;
  Outcome Type(std::string_view text, Deadline deadline) override;
  Outcome SetCursor(int offset, Deadline deadline) override;
  int Cursor() const override;
  Outcome Press(Key key, Deadline deadline) override;
  Outcome GetKeyboard(Keyboard* state, Deadline deadline) override;
  Outcome WaitUnlock(Deadline deadline) override;
  Outcome WaitForChange(Deadline deadline) override;

  pid_t ChildPid() const { return child_.Pid(); }

 private:
  X3270Backend(bool own_child, std::string host, int port,
               common::session_options::Options options);
  enum class Sent { kOk, kRefused, kLost };
  // Runs one command line. Lost means the emulator is gone (wedged, dead or
  // disconnected from its host); the session is then torn down.
  Sent Run(const std::string& command, ScriptReply* reply, Deadline deadline);
  Outcome Lost();
  Outcome RefusedTyping(const ScriptReply& reply);
  Outcome ReadyForInput(Deadline deadline);
  Outcome WaitFor(const char* what, Deadline deadline, bool then_read);
  // The model's largest screen and the code page, as the emulator says.
  void LearnSession(Deadline deadline);
  // Why s3270's Connect() failed, with the system's reason where we can learn it.
  std::string ConnectFailure(const ScriptReply& reply, Deadline deadline);
  // Takes the screen text at the end of reply as the screen now.
  void KeepImage(const ScriptReply& reply);
  bool Fresh(uint64_t at_ms) const;
  bool ImageFresh() const { return image_valid_ && Fresh(image_ms_); }

  bool own_child_;
  std::string host_;
  int port_;
  common::session_options::Options options_;
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
std::vector<std::string> S3270Arguments(const common::session_options::Options& options);
// The Connect() command for host:port with the TLS and LU prefixes; the
// argument is quoted (the values are checked to need no escaping).
std::string ConnectCommand(const std::string& host, int port,
                           const common::session_options::Options& options);

// The String() argument for text: quoted, with backslash and quote escaped
// and Latin-1 turned into UTF-8. Control characters become blanks.
std::string QuoteForString(std::string_view text);

}  // namespace emulator
