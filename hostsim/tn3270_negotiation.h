// The server's side of the telnet option dialogue that puts a connection in
// 3270 mode: terminal type, binary and end-of-record both ways. Everything
// else, TN3270E included, is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hostsim {

class Tn3270Negotiation {
 public:
  // The opening request, sent on connect.
  std::string start();
  // Each call appends the replies to send, if any, to *out.
  void on_option(uint8_t verb, uint8_t option, std::string* out);
  void on_subnegotiation(uint8_t option, std::string_view data, std::string* out);

  // Terminal type known and binary and end-of-record agreed both ways.
  bool ready() const;
  // The terminal refused something 3270 mode needs.
  bool failed() const { return failed_; }
  const std::string& terminal_type() const { return terminal_type_; }

 private:
  struct OptionState {
    bool his = false, mine = false;              // enabled on his side / on ours
    bool asked_his = false, asked_mine = false;  // our DO / WILL awaits an answer
  };
  static bool wanted(uint8_t option);
  OptionState& state(uint8_t option);
  void ask_for_3270_options(std::string* out);

  OptionState binary_, eor_, terminal_type_option_;
  std::string terminal_type_;
  bool have_terminal_type_ = false;
  bool failed_ = false;
};

}  // namespace hostsim
