#include "tests/hostsim/wire_terminal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "hostsim/buffer_address.h"
#include "hostsim/ebcdic.h"
#include "hostsim/screen_geometry.h"
#include "hostsim/telnet_reader.h"
#include "tests/hostsim/test_support.h"

namespace testing_support {

using namespace hostsim::telnet;

struct WireTerminal::Reader {
  hostsim::TelnetReader telnet;
};

WireTerminal::WireTerminal(int port)
    : fd_(connect_loopback(port)), screen_(hostsim::kScreenSize, ' '), reader_(new Reader) {}

WireTerminal::~WireTerminal() {
  disconnect();
  delete reader_;
}

void WireTerminal::disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void WireTerminal::answer_option(unsigned char verb, unsigned char option) {
  std::string reply{static_cast<char>(kIac), 0, static_cast<char>(option)};
  const bool known =
      option == kOptionBinary || option == kOptionEor || option == kOptionTerminalType;
  if (verb == kDo) reply[1] = static_cast<char>(known ? kWill : kWont);
  if (verb == kWill) reply[1] = static_cast<char>(known ? kDo : kDont);
  if (verb == kDo || verb == kWill) ::send(fd_, reply.data(), reply.size(), MSG_NOSIGNAL);
}

void WireTerminal::apply(const std::string& record) {
  screen_.assign(hostsim::kScreenSize, ' ');
  int address = 0;
  for (std::size_t i = 2; i < record.size(); ++i) {
    const auto b = static_cast<unsigned char>(record[i]);
    if (b == 0x11 && i + 2 < record.size()) {
      address = hostsim::DecodeBufferAddress(static_cast<uint8_t>(record[i + 1]),
                                             static_cast<uint8_t>(record[i + 2])) %
                hostsim::kScreenSize;
      i += 2;
    } else if (b == 0x1D) {
      ++i;
      screen_[address] = ' ';
      address = (address + 1) % hostsim::kScreenSize;
    } else if (b == 0x13) {
      // insert cursor: nothing to show
    } else {
      screen_[address] = hostsim::EbcdicToAscii(b);
      address = (address + 1) % hostsim::kScreenSize;
    }
  }
  new_screen_ = true;
}

bool WireTerminal::pump(int timeout_ms) {
  if (fd_ < 0 || !wait_readable(fd_, timeout_ms)) return false;
  uint8_t buffer[16384];
  ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
  if (n <= 0) {
    closed_by_host_ = true;
    disconnect();
    return false;
  }
  std::vector<hostsim::TelnetEvent> events;
  reader_->telnet.Feed(buffer, static_cast<std::size_t>(n), &events);
  for (const auto& e : events) {
    if (e.kind == hostsim::TelnetEvent::kOption) answer_option(e.verb, e.option);
    if (e.kind == hostsim::TelnetEvent::kSubnegotiation && e.option == kOptionTerminalType) {
      std::string is{static_cast<char>(kIac), static_cast<char>(kSb),
                     static_cast<char>(kOptionTerminalType), static_cast<char>(kTerminalTypeIs)};
      is += "IBM-3278-2";
      is += static_cast<char>(kIac);
      is += static_cast<char>(kSe);
      ::send(fd_, is.data(), is.size(), MSG_NOSIGNAL);
    }
    if (e.kind == hostsim::TelnetEvent::kRecord) apply(e.data);
  }
  return true;
}

bool WireTerminal::next_screen(int timeout_ms) {
  new_screen_ = false;
  const long long end = monotonic_ms() + timeout_ms;
  while (!new_screen_) {
    const long long left = end - monotonic_ms();
    if (left <= 0 || !pump(static_cast<int>(left))) return new_screen_;
  }
  return true;
}

bool WireTerminal::send_key(unsigned char aid, const std::string& field_text) {
  if (fd_ < 0) return false;
  std::string r(1, static_cast<char>(aid));
  if (!field_text.empty()) {
    uint8_t address[2];
    hostsim::EncodeBufferAddress(80, address);
    r += static_cast<char>(address[0]);
    r += static_cast<char>(address[1]);
    r += '\x11';
    hostsim::EncodeBufferAddress(0, address);
    r += static_cast<char>(address[0]);
    r += static_cast<char>(address[1]);
    for (char c : field_text) r += static_cast<char>(hostsim::AsciiToEbcdic(c));
  }
  r += static_cast<char>(kIac);
  r += static_cast<char>(kEor);
  return ::send(fd_, r.data(), r.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(r.size());
}

}  // namespace testing_support
