#include "client/engine/headless_front_end.h"

#include "platform/clock.h"

HeadlessFrontEnd::HeadlessFrontEnd(std::FILE* out, platform::StopEvent& stop)
    : out_(out), stop_(stop) {}

void HeadlessFrontEnd::Line(const char* kind, const std::string& text) {
  platform::LocalTime t = platform::LocalNow();
  std::string flat;
  for (char c : text) {
    if (c == '\n')
      flat += " / ";
    else if (c != '\r')
      flat += c;
  }
  std::fprintf(out_, "%04d-%02d-%02d %02d:%02d:%02d %s: %s\n", t.year, t.month, t.day, t.hour,
               t.minute, t.second, kind, flat.c_str());
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
  if (stop_.Wait(timeout_ms)) {
    stopped_ = true;
    return UserTurn::kStop;
  }
  return UserTurn::kNothing;
}
