// One connection to an emulator's script protocol over a stream socket: the
// pipe of an s3270 child (a socket pair) or a TCP script port. Commands go
// out one line at a time; replies are read with a deadline.
#pragma once

#include <string>

#include "emulator/deadline.h"
#include "emulator/script_reply.h"

namespace emulator {

// Stopped: the client is stopping (see client_stop.h); the emulator may be
// in the middle of the command.
enum class ChannelResult { kOk, kTimedOut, kBroken, kStopped };

class ScriptChannel {
 public:
  ScriptChannel() = default;
  // Takes ownership of fd (made non-blocking). quick_ack (a TCP script port)
  // keeps acknowledgements prompt after every read: the emulator writes each
  // reply line separately with Nagle's algorithm on, so all lines after the
  // first wait for our ACK, and a delayed ACK would hold every reply back by
  // tens of milliseconds. Where the system cannot be asked for prompt ACKs,
  // a blank sent after each incomplete read carries the ACK at once.
  ScriptChannel(int fd, bool quick_ack) { Attach(fd, quick_ack); }
  ~ScriptChannel();
  ScriptChannel(const ScriptChannel&) = delete;
  ScriptChannel& operator=(const ScriptChannel&) = delete;

  // Closes any earlier connection and takes fd.
  void Attach(int fd, bool quick_ack);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Sends one command line (a newline is added) and reads its reply.
  ChannelResult Run(const std::string& command, ScriptReply* reply, Deadline deadline,
                    std::string* problem);

 private:
  ChannelResult SendAll(const std::string& bytes, Deadline deadline, std::string* problem);
  ChannelResult ReadReply(ScriptReply* reply, Deadline deadline, std::string* problem);
  void ProvokeAck();

  int fd_ = -1;
  bool quick_ack_ = false;
  bool provoke_acks_ = false;
  ScriptReplyParser parser_;
};

// Connects to host:port (127.0.0.1, normally) within the deadline.
// Returns the socket or -1 with *problem set.
int ConnectTcp(const std::string& host, int port, Deadline deadline, std::string* problem);

}  // namespace emulator
