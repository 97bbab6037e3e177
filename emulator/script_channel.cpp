#include "emulator/script_channel.h"

#include "emulator/socket_io.h"

namespace emulator {
namespace {

// Blanks sent while one reply is read: each becomes a leading blank of the
// next command line, which the emulator skips; the bound keeps that line short.
constexpr int kMaxAckBlanks = 64;

}  // namespace

void ScriptChannel::Attach(int fd, bool quick_ack) {
  Close();
  fd_ = fd;
  quick_ack_ = quick_ack;
  MakeNonBlocking(fd_);
  provoke_acks_ = quick_ack && !MakeAcksPrompt(fd_);
}

ScriptChannel::~ScriptChannel() { Close(); }

void ScriptChannel::Close() {
  if (fd_ >= 0) CloseSocket(fd_);
  fd_ = -1;
  parser_ = ScriptReplyParser{};
}

ChannelResult ScriptChannel::Run(const std::string& command, ScriptReply* reply, Deadline deadline,
                                 std::string* problem) {
  if (fd_ < 0) {
    *problem = "not connected to the emulator";
    return ChannelResult::kBroken;
  }
  ChannelResult r = SendAll(command + "\n", deadline, problem);
  if (r != ChannelResult::kOk) return r;
  return ReadReply(reply, deadline, problem);
}

ChannelResult ScriptChannel::SendAll(const std::string& bytes, Deadline deadline,
                                     std::string* problem) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    std::size_t n = 0;
    std::string why;
    SocketIo io = SendSome(fd_, bytes.data() + sent, bytes.size() - sent, &n, &why);
    if (io == SocketIo::kDone) {
      sent += n;
      continue;
    }
    if (io == SocketIo::kAgain) {
      int ready = WaitSocket(fd_, true, deadline, problem);
      if (ready == 0) {
        *problem = "the emulator takes no more commands";
        return ChannelResult::kTimedOut;
      }
      if (ready == kWaitStopped) return ChannelResult::kStopped;
      if (ready < 0) return ChannelResult::kBroken;
      continue;
    }
    *problem = "cannot write to the emulator: " + why;
    return ChannelResult::kBroken;
  }
  return ChannelResult::kOk;
}

ChannelResult ScriptChannel::ReadReply(ScriptReply* reply, Deadline deadline,
                                       std::string* problem) {
  char buffer[8192];
  int blanks = 0;
  bool read_part = false;  // the last read left the reply incomplete
  while (!parser_.Next(reply)) {
    if (parser_.Overflowed()) {
      *problem = "the emulator's reply is too long";
      return ChannelResult::kBroken;
    }
    if (read_part && provoke_acks_ && blanks++ < kMaxAckBlanks) ProvokeAck();
    read_part = false;
    int ready = WaitSocket(fd_, false, deadline, problem);
    if (ready == 0) {
      *problem = "no answer from the emulator in time";
      return ChannelResult::kTimedOut;
    }
    if (ready == kWaitStopped) return ChannelResult::kStopped;
    if (ready < 0) return ChannelResult::kBroken;
    std::size_t n = 0;
    std::string why;
    SocketIo io = ReceiveSome(fd_, buffer, sizeof buffer, &n, &why);
    if (io == SocketIo::kDone) {
      if (quick_ack_) AfterTcpRead(fd_);
      parser_.Feed(std::string_view(buffer, n));
      read_part = true;
      continue;
    }
    if (io == SocketIo::kAgain) continue;
    *problem = io == SocketIo::kClosed ? "the emulator closed the connection"
                                       : "cannot read from the emulator: " + why;
    return ChannelResult::kBroken;
  }
  return ChannelResult::kOk;
}

// The rest of the reply waits in the emulator's system for the ACK of what
// we read, which ours delays by 40 ms or more: data from us carries it at
// once. Should the blank not go out, the reply merely comes later.
void ScriptChannel::ProvokeAck() {
  std::size_t sent = 0;
  std::string ignored;
  SendSome(fd_, " ", 1, &sent, &ignored);
}

}  // namespace emulator
