#include "client/headless_front_end.h"

#include <poll.h>

#include "platform/clock.h"

HeadlessFrontEnd::HeadlessFrontEnd(std::FILE* out, int stop_fd) : out_(out), stop_fd_(stop_fd) {}

void HeadlessFrontEnd::Line(const char* kind, const std::string& text) {
  platform::LocalTime t = platform::LocalNow();
  std::string flat;
  for (char c : text) {
    if (c == '\n')
      flat += " / ";
    else if (c != '\r')
      flat += c;
  }
  std::fprintf(out_, "%04d-%02d-%02d %02d:%02d:%02d %s: %s\n", t.year, t.month, t.day, t.hour, t.minute, t.second,
               kind, flat.c_str());
  std::fflush(out_);
}

void HeadlessFrontEnd::ShowStatus(const std::string& text) {
  if (text == last_status_) return;
  last_status_ = text;
  Line("status", text);
}

int HeadlessFrontEnd::ShowMessage(const std::string& text, const char*, unsigned) {
  Line("message", text);
  return 0;
}

UserTurn HeadlessFrontEnd::ServeUser(int timeout_ms) {
  if (stopped_) return UserTurn::kStop;
  pollfd p{stop_fd_, POLLIN, 0};
  int n = poll(stop_fd_ >= 0 ? &p : nullptr, stop_fd_ >= 0 ? 1 : 0, timeout_ms > 0 ? timeout_ms : 0);
  if (n > 0 && (p.revents & (POLLIN | POLLHUP))) {
    stopped_ = true;
    return UserTurn::kStop;
  }
  return UserTurn::kNothing;
}
