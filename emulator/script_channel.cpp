#include "emulator/script_channel.h"

#include "emulator/socket_io.h"

namespace emulator {

void ScriptChannel::attach(int fd, bool quick_ack) {
  close();
  fd_ = fd;
  quick_ack_ = quick_ack;
  MakeNonBlocking(fd_);
}

ScriptChannel::~ScriptChannel() { close(); }

void ScriptChannel::close() {
  if (fd_ >= 0) CloseSocket(fd_);
  fd_ = -1;
  parser_ = ScriptReplyParser{};
}

ChannelResult ScriptChannel::run(const std::string& command, ScriptReply* reply, Deadline deadline,
                                 std::string* problem) {
  if (fd_ < 0) {
    *problem = "not connected to the emulator";
    return ChannelResult::Broken;
  }
  ChannelResult r = send_all(command + "\n", deadline, problem);
  if (r != ChannelResult::Ok) return r;
  return read_reply(reply, deadline, problem);
}

ChannelResult ScriptChannel::send_all(const std::string& bytes, Deadline deadline,
                                      std::string* problem) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    std::size_t n = 0;
    std::string why;
    SocketIo io = SendSome(fd_, bytes.data() + sent, bytes.size() - sent, &n, &why);
    if (io == SocketIo::Done) {
      sent += n;
      continue;
    }
    if (io == SocketIo::Again) {
      int ready = WaitSocket(fd_, true, deadline, problem);
      if (ready == 0) {
        *problem = "the emulator takes no more commands";
        return ChannelResult::TimedOut;
      }
      if (ready == kWaitStopped) return ChannelResult::Stopped;
      if (ready < 0) return ChannelResult::Broken;
      continue;
    }
    *problem = "cannot write to the emulator: " + why;
    return ChannelResult::Broken;
  }
  return ChannelResult::Ok;
}

ChannelResult ScriptChannel::read_reply(ScriptReply* reply, Deadline deadline,
                                        std::string* problem) {
  char buffer[8192];
  while (!parser_.next(reply)) {
    if (parser_.overflowed()) {
      *problem = "the emulator's reply is too long";
      return ChannelResult::Broken;
    }
    int ready = WaitSocket(fd_, false, deadline, problem);
    if (ready == 0) {
      *problem = "no answer from the emulator in time";
      return ChannelResult::TimedOut;
    }
    if (ready == kWaitStopped) return ChannelResult::Stopped;
    if (ready < 0) return ChannelResult::Broken;
    std::size_t n = 0;
    std::string why;
    SocketIo io = ReceiveSome(fd_, buffer, sizeof buffer, &n, &why);
    if (io == SocketIo::Done) {
      if (quick_ack_) AfterTcpRead(fd_);
      parser_.feed(std::string_view(buffer, n));
      continue;
    }
    if (io == SocketIo::Again) continue;
    *problem = io == SocketIo::Closed ? "the emulator closed the connection"
                                      : "cannot read from the emulator: " + why;
    return ChannelResult::Broken;
  }
  return ChannelResult::Ok;
}

}  // namespace emulator
