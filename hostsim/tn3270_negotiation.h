// The server's side of the telnet option dialogue that puts a connection in
// 3270 mode. TN3270E (RFC 2355) is offered first: the terminal asks for a
// device type and, with CONNECT, for an LU name; the functions agreed are
// RESPONSES at most (no BIND image, so the session is in 3270 mode at once).
// A terminal that refuses TN3270E gets plain TN3270: terminal type (with an
// "@LU" suffix for an LU name, RFC 1646), binary and end-of-record both ways.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/lu_registry.h"

namespace hostsim {

class Tn3270Negotiation {
 public:
  // lus: the server's names in use (none: every name is free; no name is
  // given to a terminal that asks for none).
  explicit Tn3270Negotiation(bool offer_tn3270e = true, LuRegistry* lus = nullptr);
  ~Tn3270Negotiation();
  Tn3270Negotiation(const Tn3270Negotiation&) = delete;
  Tn3270Negotiation& operator=(const Tn3270Negotiation&) = delete;

  // The opening request, sent on connect.
  std::string Start();
  // Each call appends the replies to send, if any, to *out.
  void OnOption(uint8_t verb, uint8_t option, std::string* out);
  void OnSubnegotiation(uint8_t option, std::string_view data, std::string* out);

  // The terminal is in 3270 mode: TN3270E functions agreed, or terminal type
  // known and binary and end-of-record agreed both ways.
  bool Ready() const;
  // The terminal refused something 3270 mode needs, or asked for an LU it
  // cannot have without TN3270E's way to say no; failure() says what.
  bool Failed() const { return !failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  // Records carry the TN3270E header.
  bool Tn3270e() const { return e_state_ == EState::kReady; }
  // Without any "@LU" suffix.
  const std::string& TerminalType() const { return terminal_type_; }
  // The LU the terminal is connected as; "" when none.
  const std::string& Lu() const { return lu_; }

 private:
  struct OptionState {
    bool his = false, mine = false;              // enabled on his side / on ours
    bool asked_his = false, asked_mine = false;  // our DO / WILL awaits an answer
  };
  enum class EState { kOff, kOffered, kDeviceType, kFunctions, kReady };

  static bool Wanted(uint8_t option);
  OptionState& GetState(uint8_t option);
  void AskForTerminalType(std::string* out);
  void AskFor3270Options(std::string* out);
  void OnTn3270eOption(uint8_t verb, std::string* out);
  void AskTerminalType(std::string* out);
  void OnDeviceTypeRequest(std::string_view data, std::string* out);
  void OnFunctions(uint8_t verb, std::string_view list, std::string* out);
  bool TakeLu(const std::string& name);
  void Fail(const std::string& why);

  bool offer_tn3270e_;
  LuRegistry* lus_;
  EState e_state_ = EState::kOff;
  OptionState binary_, eor_, terminal_type_option_;
  std::string terminal_type_;
  std::string lu_;
  bool have_terminal_type_ = false;
  std::string failure_;
};

}  // namespace hostsim
