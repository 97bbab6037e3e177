#include "hostsim/inbound_3270.h"

#include "hostsim/buffer_address.h"

namespace hostsim {
namespace {

constexpr uint8_t kOrderSetBufferAddress = 0x11;
constexpr uint8_t kAidTestRequest = 0x01;  // SysReq on a plain TN3270 session

struct AidEntry {
  uint8_t aid;
  Key key;
};
// clang-format off
constexpr AidEntry kAids[] = {
    {0x7D, Key::kEnter}, {0x6D, Key::kClear}, {0x6C, Key::kPA1},  {0x6E, Key::kPA2},
    {0x6B, Key::kPA3},   {0xF1, Key::kPF1},   {0xF2, Key::kPF2},  {0xF3, Key::kPF3},
    {0xF4, Key::kPF4},   {0xF5, Key::kPF5},   {0xF6, Key::kPF6},  {0xF7, Key::kPF7},
    {0xF8, Key::kPF8},   {0xF9, Key::kPF9},   {0x7A, Key::kPF10}, {0x7B, Key::kPF11},
    {0x7C, Key::kPF12},  {0xC1, Key::kPF13},  {0xC2, Key::kPF14}, {0xC3, Key::kPF15},
    {0xC4, Key::kPF16},  {0xC5, Key::kPF17},  {0xC6, Key::kPF18}, {0xC7, Key::kPF19},
    {0xC8, Key::kPF20},  {0xC9, Key::kPF21},  {0x4A, Key::kPF22}, {0x4B, Key::kPF23},
    {0x4C, Key::kPF24},  {0xF0, Key::kSysReq}, {kAidTestRequest, Key::kSysReq}};
// clang-format on

bool ShortRead(Key key) {
  return key == Key::kClear || key == Key::kPA1 || key == Key::kPA2 || key == Key::kPA3 ||
         key == Key::kSysReq;
}

}  // namespace

std::optional<Key> KeyForAid(uint8_t aid) {
  for (const AidEntry& e : kAids) {
    if (e.aid == aid) return e.key;
  }
  return std::nullopt;
}

uint8_t AidForKey(Key key) {
  if (key == Key::kSysReq) return 0xF0;
  for (const AidEntry& e : kAids) {
    if (e.key == key) return e.aid;
  }
  return 0;
}

bool ParseInbound(std::string_view record, InboundMessage* message, const CodePage& page) {
  *message = InboundMessage{};
  if (record.empty()) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
  message->aid = bytes[0];
  message->key = KeyForAid(bytes[0]);
  if (!message->key || ShortRead(*message->key) || record.size() < 3) return true;
  message->cursor = DecodeBufferAddress(bytes[1], bytes[2]);
  InboundField* field = nullptr;
  for (std::size_t i = 3; i < record.size(); ++i) {
    if (bytes[i] == kOrderSetBufferAddress) {
      if (i + 2 >= record.size()) break;  // a cut-off address ends the record
      message->fields.push_back(InboundField{DecodeBufferAddress(bytes[i + 1], bytes[i + 2]), {}});
      field = &message->fields.back();
      i += 2;
    } else if (field && bytes[i] != 0x00) {
      field->text += page.ToAscii(bytes[i]);
    }
  }
  return true;
}

}  // namespace hostsim
