// Splits the bytes a terminal sends into telnet option commands,
// subnegotiations and end-of-record delimited 3270 records. Fed in pieces of
// any size; nothing grows without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

namespace telnet {
constexpr uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250;
constexpr uint8_t kBreak = 243, kSe = 240, kEor = 239;
constexpr uint8_t kOptionBinary = 0, kOptionTerminalType = 24, kOptionEor = 25;
constexpr uint8_t kOptionTn3270e = 40;
constexpr uint8_t kTerminalTypeIs = 0, kTerminalTypeSend = 1;
}  // namespace telnet

struct TelnetEvent {
  enum Kind { kOption, kSubnegotiation, kRecord, kBreak };
  explicit TelnetEvent(Kind k) : kind(k) {}
  Kind kind;
  uint8_t verb = 0;        // Option: WILL, WONT, DO, DONT
  uint8_t option = 0;      // Option and Subnegotiation
  std::string data;        // Subnegotiation payload or record bytes (IAC IAC undone)
  bool truncated = false;  // the payload was longer than the limit and was cut
};

class TelnetReader {
 public:
  static constexpr std::size_t kLargestRecord = 16384;
  static constexpr std::size_t kLargestSubnegotiation = 256;

  // Appends the events completed by these bytes.
  void Feed(const uint8_t* data, std::size_t size, std::vector<TelnetEvent>* events);

 private:
  enum class State { kData, kIac, kVerb, kSbOption, kSb, kSbIac };
  void AddRecordByte(uint8_t b);
  void AddSubByte(uint8_t b);
  void Command(uint8_t b, std::vector<TelnetEvent>* events);

  State state_ = State::kData;
  uint8_t verb_ = 0;
  uint8_t sub_option_ = 0;
  std::string record_;
  bool record_truncated_ = false;
  std::string sub_;
  bool sub_truncated_ = false;
};

}  // namespace hostsim
