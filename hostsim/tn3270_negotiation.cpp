#include "hostsim/tn3270_negotiation.h"

#include <algorithm>

#include "hostsim/telnet_reader.h"

namespace hostsim {

using namespace telnet;

namespace {

// TN3270E subnegotiation words and codes (RFC 2355).
constexpr uint8_t kAssociate = 0, kConnect = 1, kDeviceType = 2, kFunctions = 3, kIs = 4;
constexpr uint8_t kReason = 5, kReject = 6, kRequest = 7, kSend = 8;
constexpr uint8_t kDeviceInUse = 1, kInvalidName = 3, kInvalidDeviceType = 4,
                  kUnsupportedRequest = 7;
constexpr uint8_t kFunctionResponses = 2;
constexpr std::size_t kLongestTerminalType = 40;

void Send(std::string* out, uint8_t verb, uint8_t option) {
  out->push_back(static_cast<char>(kIac));
  out->push_back(static_cast<char>(verb));
  out->push_back(static_cast<char>(option));
}

void Sub(std::string* out, std::string_view body) {
  out->push_back(static_cast<char>(kIac));
  out->push_back(static_cast<char>(kSb));
  out->push_back(static_cast<char>(kOptionTn3270e));
  out->append(body);
  out->push_back(static_cast<char>(kIac));
  out->push_back(static_cast<char>(kSe));
}

void Reject(std::string* out, uint8_t reason) {
  Sub(out, std::string{static_cast<char>(kDeviceType), static_cast<char>(kReject),
                       static_cast<char>(kReason), static_cast<char>(reason)});
}

bool Printable(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

// Display terminals only: a printer (IBM-3287-1) has no screen to paint.
bool DisplayType(std::string_view type) {
  return type.rfind("IBM-3278-", 0) == 0 || type.rfind("IBM-3279-", 0) == 0 ||
         type == "IBM-DYNAMIC";
}

}  // namespace

Tn3270Negotiation::Tn3270Negotiation(bool offer_tn3270e, LuRegistry* lus)
    : offer_tn3270e_(offer_tn3270e), lus_(lus) {}

Tn3270Negotiation::~Tn3270Negotiation() {
  if (lus_ && !lu_.empty()) lus_->Release(lu_);
}

void Tn3270Negotiation::Fail(const std::string& why) {
  if (failure_.empty()) failure_ = why;
}

bool Tn3270Negotiation::TakeLu(const std::string& name) {
  if (lus_ && !lus_->Claim(name)) return false;
  lu_ = name;
  return true;
}

bool Tn3270Negotiation::Wanted(uint8_t option) {
  return option == kOptionBinary || option == kOptionEor || option == kOptionTerminalType;
}

Tn3270Negotiation::OptionState& Tn3270Negotiation::GetState(uint8_t option) {
  if (option == kOptionBinary) return binary_;
  if (option == kOptionEor) return eor_;
  return terminal_type_option_;
}

std::string Tn3270Negotiation::Start() {
  std::string out;
  if (offer_tn3270e_) {
    e_state_ = EState::kOffered;
    Send(&out, kDo, kOptionTn3270e);
  } else {
    AskForTerminalType(&out);
  }
  return out;
}

void Tn3270Negotiation::AskForTerminalType(std::string* out) {
  if (terminal_type_option_.asked_his || terminal_type_option_.his) return;
  terminal_type_option_.asked_his = true;
  Send(out, kDo, kOptionTerminalType);
}

void Tn3270Negotiation::AskFor3270Options(std::string* out) {
  for (uint8_t option : {kOptionEor, kOptionBinary}) {
    OptionState& s = GetState(option);
    if (!s.his && !s.asked_his) {
      s.asked_his = true;
      Send(out, kDo, option);
    }
    if (!s.mine && !s.asked_mine) {
      s.asked_mine = true;
      Send(out, kWill, option);
    }
  }
}

void Tn3270Negotiation::OnTn3270eOption(uint8_t verb, std::string* out) {
  switch (verb) {
    case kWill:
      if (e_state_ != EState::kOffered) {
        if (e_state_ == EState::kOff) Send(out, kDont, kOptionTn3270e);
        return;
      }
      e_state_ = EState::kDeviceType;
      Sub(out, std::string{static_cast<char>(kSend), static_cast<char>(kDeviceType)});
      return;
    case kWont:
      if (e_state_ == EState::kOffered) {
        e_state_ = EState::kOff;  // a plain TN3270 terminal
        AskForTerminalType(out);
      } else if (e_state_ != EState::kOff) {
        Send(out, kDont, kOptionTn3270e);
        Fail("the terminal left TN3270E");
      }
      return;
    case kDo:
      Send(out, kWont, kOptionTn3270e);  // only the terminal has this option
      return;
    default: return;
  }
}

void Tn3270Negotiation::AskTerminalType(std::string* out) {
  const char ask[] = {static_cast<char>(kIac),
                      static_cast<char>(kSb),
                      static_cast<char>(kOptionTerminalType),
                      static_cast<char>(kTerminalTypeSend),
                      static_cast<char>(kIac),
                      static_cast<char>(kSe)};
  out->append(ask, sizeof ask);
}

void Tn3270Negotiation::OnOption(uint8_t verb, uint8_t option, std::string* out) {
  if (option == kOptionTn3270e) {
    OnTn3270eOption(verb, out);
    return;
  }
  // Terminal type is an option only the terminal has.
  const bool his_option = Wanted(option);
  const bool my_option = option == kOptionBinary || option == kOptionEor;
  switch (verb) {
    case kWill:
      if (!his_option) {
        Send(out, kDont, option);
        return;
      }
      {
        OptionState& s = GetState(option);
        if (!s.his && !s.asked_his) Send(out, kDo, option);
        s.his = true;
        s.asked_his = false;
        if (option == kOptionTerminalType && !have_terminal_type_) AskTerminalType(out);
      }
      return;
    case kWont:
      if (his_option) {
        OptionState& s = GetState(option);
        if (s.his) Send(out, kDont, option);
        s.his = s.asked_his = false;
        if (e_state_ == EState::kOff) Fail("the terminal refused 3270 mode");
      }
      return;
    case kDo:
      if (!my_option) {
        Send(out, kWont, option);
        return;
      }
      {
        OptionState& s = GetState(option);
        if (!s.mine && !s.asked_mine) Send(out, kWill, option);
        s.mine = true;
        s.asked_mine = false;
      }
      return;
    case kDont:
      if (my_option) {
        OptionState& s = GetState(option);
        if (s.mine) Send(out, kWont, option);
        s.mine = s.asked_mine = false;
        if (e_state_ == EState::kOff) Fail("the terminal refused 3270 mode");
      }
      return;
    default: return;
  }
}

void Tn3270Negotiation::OnDeviceTypeRequest(std::string_view data, std::string* out) {
  // <type> [CONNECT <name> | ASSOCIATE <name>]
  const std::size_t end = data.find_first_of(std::string_view("\x00\x01", 2));
  const std::string type(data.substr(0, end));
  if (type.empty() || type.size() > kLongestTerminalType || !Printable(type) ||
      !DisplayType(type)) {
    Reject(out, kInvalidDeviceType);
    return;
  }
  std::string name;
  if (end != std::string_view::npos) {
    if (static_cast<uint8_t>(data[end]) == kAssociate) {
      Reject(out, kUnsupportedRequest);  // printers associated with a terminal: none here
      return;
    }
    const std::string_view asked = data.substr(end + 1);
    if (!ValidLuName(asked)) {
      Reject(out, kInvalidName);
      return;
    }
    name = LuInCapitals(asked);
    if (!TakeLu(name)) {
      Reject(out, kDeviceInUse);
      return;
    }
  } else if (lus_) {
    name = lus_->ClaimGeneric();
    if (name.empty()) {
      Reject(out, kDeviceInUse);
      return;
    }
    lu_ = name;
  }
  terminal_type_ = type;
  have_terminal_type_ = true;
  e_state_ = EState::kFunctions;
  std::string body{static_cast<char>(kDeviceType), static_cast<char>(kIs)};
  body += type;
  if (!name.empty()) {
    body += static_cast<char>(kConnect);
    body += name;
  }
  Sub(out, body);
}

// The terminal proposes functions; we take RESPONSES at most. A proposal
// within that is confirmed with IS; otherwise we propose what is left and
// the terminal confirms it.
void Tn3270Negotiation::OnFunctions(uint8_t verb, std::string_view list, std::string* out) {
  const bool within = std::all_of(list.begin(), list.end(), [](char f) {
    return static_cast<uint8_t>(f) == kFunctionResponses;
  });
  if (verb == kIs) {
    if (within) {
      e_state_ = EState::kReady;
    } else {
      Fail("the terminal insists on TN3270E functions this host does not have");
    }
    return;
  }
  if (verb != kRequest) return;
  std::string body{static_cast<char>(kFunctions), static_cast<char>(within ? kIs : kRequest)};
  if (within) {
    body += list;
    e_state_ = EState::kReady;
  } else if (list.find(static_cast<char>(kFunctionResponses)) != std::string_view::npos) {
    body += static_cast<char>(kFunctionResponses);
  }
  Sub(out, body);
}

void Tn3270Negotiation::OnSubnegotiation(uint8_t option, std::string_view data, std::string* out) {
  if (option == kOptionTn3270e) {
    if (data.size() < 2) return;
    const auto what = static_cast<uint8_t>(data[0]);
    const auto verb = static_cast<uint8_t>(data[1]);
    if (what == kDeviceType && verb == kRequest && e_state_ == EState::kDeviceType) {
      OnDeviceTypeRequest(data.substr(2), out);
    } else if (what == kFunctions && e_state_ == EState::kFunctions) {
      OnFunctions(verb, data.substr(2), out);
    }
    return;
  }
  if (option != kOptionTerminalType || e_state_ != EState::kOff || data.empty() ||
      static_cast<uint8_t>(data[0]) != kTerminalTypeIs || have_terminal_type_) {
    return;
  }
  std::string type;
  for (char c : data.substr(1, kLongestTerminalType)) type += (c >= 0x20 && c <= 0x7E) ? c : '?';
  // "IBM-3279-4-E@LU1": a plain terminal asking for an LU (RFC 1646). There is
  // no way to refuse it but to close.
  const std::size_t at = type.find('@');
  if (at != std::string::npos) {
    const std::string asked = type.substr(at + 1);
    type.erase(at);
    if (!ValidLuName(asked)) {
      Fail("the terminal asked for the LU name \"" + asked + "\", which is not one");
    } else if (!TakeLu(LuInCapitals(asked))) {
      Fail("the LU " + LuInCapitals(asked) + " is in use");
    }
  }
  terminal_type_ = type;
  have_terminal_type_ = true;
  AskFor3270Options(out);
}

bool Tn3270Negotiation::Ready() const {
  if (Failed()) return false;
  if (e_state_ != EState::kOff) return e_state_ == EState::kReady;
  return have_terminal_type_ && binary_.his && binary_.mine && eor_.his && eor_.mine;
}

}  // namespace hostsim
