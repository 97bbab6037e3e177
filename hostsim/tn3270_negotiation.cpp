#include "hostsim/tn3270_negotiation.h"

#include "hostsim/telnet_reader.h"

namespace hostsim {

using namespace telnet;

namespace {
void send(std::string* out, uint8_t verb, uint8_t option) {
  out->push_back(static_cast<char>(kIac));
  out->push_back(static_cast<char>(verb));
  out->push_back(static_cast<char>(option));
}
}  // namespace

bool Tn3270Negotiation::wanted(uint8_t option) {
  return option == kOptionBinary || option == kOptionEor || option == kOptionTerminalType;
}

Tn3270Negotiation::OptionState& Tn3270Negotiation::state(uint8_t option) {
  if (option == kOptionBinary) return binary_;
  if (option == kOptionEor) return eor_;
  return terminal_type_option_;
}

std::string Tn3270Negotiation::start() {
  std::string out;
  terminal_type_option_.asked_his = true;
  send(&out, kDo, kOptionTerminalType);
  return out;
}

void Tn3270Negotiation::ask_for_3270_options(std::string* out) {
  for (uint8_t option : {kOptionEor, kOptionBinary}) {
    OptionState& s = state(option);
    if (!s.his && !s.asked_his) {
      s.asked_his = true;
      send(out, kDo, option);
    }
    if (!s.mine && !s.asked_mine) {
      s.asked_mine = true;
      send(out, kWill, option);
    }
  }
}

void Tn3270Negotiation::on_option(uint8_t verb, uint8_t option, std::string* out) {
  // Terminal type is an option only the terminal has.
  const bool his_option = wanted(option);
  const bool my_option = option == kOptionBinary || option == kOptionEor;
  switch (verb) {
    case kWill:
      if (!his_option) {
        send(out, kDont, option);  // TN3270E among others
        return;
      }
      {
        OptionState& s = state(option);
        if (!s.his && !s.asked_his) send(out, kDo, option);
        s.his = true;
        s.asked_his = false;
        if (option == kOptionTerminalType) {
          const char ask[] = {static_cast<char>(kIac), static_cast<char>(kSb),
                              static_cast<char>(kOptionTerminalType),
                              static_cast<char>(kTerminalTypeSend), static_cast<char>(kIac),
                              static_cast<char>(kSe)};
          out->append(ask, sizeof ask);
        }
      }
      return;
    case kWont:
      if (his_option) {
        OptionState& s = state(option);
        if (s.his) send(out, kDont, option);
        s.his = s.asked_his = false;
        failed_ = true;
      }
      return;
    case kDo:
      if (!my_option) {
        send(out, kWont, option);
        return;
      }
      {
        OptionState& s = state(option);
        if (!s.mine && !s.asked_mine) send(out, kWill, option);
        s.mine = true;
        s.asked_mine = false;
      }
      return;
    case kDont:
      if (my_option) {
        OptionState& s = state(option);
        if (s.mine) send(out, kWont, option);
        s.mine = s.asked_mine = false;
        failed_ = true;
      }
      return;
    default:
      return;
  }
}

void Tn3270Negotiation::on_subnegotiation(uint8_t option, std::string_view data,
                                          std::string* out) {
  if (option != kOptionTerminalType || data.empty() ||
      static_cast<uint8_t>(data[0]) != kTerminalTypeIs || have_terminal_type_) {
    return;
  }
  terminal_type_.clear();
  for (char c : data.substr(1, 40)) {
    terminal_type_ += (c >= 0x20 && c <= 0x7E) ? c : '?';
  }
  have_terminal_type_ = true;
  ask_for_3270_options(out);
}

bool Tn3270Negotiation::ready() const {
  return have_terminal_type_ && binary_.his && binary_.mine && eor_.his && eor_.mine && !failed_;
}

}  // namespace hostsim
