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
constexpr AidEntry kAids[] = {{0x7D, Key::Enter},
                              {0x6D, Key::Clear},
                              {0x6C, Key::PA1},
                              {0x6E, Key::PA2},
                              {0x6B, Key::PA3},
                              {0xF1, Key::PF1},
                              {0xF2, Key::PF2},
                              {0xF3, Key::PF3},
                              {0xF4, Key::PF4},
                              {0xF5, Key::PF5},
                              {0xF6, Key::PF6},
                              {0xF7, Key::PF7},
                              {0xF8, Key::PF8},
                              {0xF9, Key::PF9},
                              {0x7A, Key::PF10},
                              {0x7B, Key::PF11},
                              {0x7C, Key::PF12},
                              {0xC1, Key::PF13},
                              {0xC2, Key::PF14},
                              {0xC3, Key::PF15},
                              {0xC4, Key::PF16},
                              {0xC5, Key::PF17},
                              {0xC6, Key::PF18},
                              {0xC7, Key::PF19},
                              {0xC8, Key::PF20},
                              {0xC9, Key::PF21},
                              {0x4A, Key::PF22},
                              {0x4B, Key::PF23},
                              {0x4C, Key::PF24},
                              {0xF0, Key::SysReq},
                              {kAidTestRequest, Key::SysReq}};

bool short_read(Key key) {
  return key == Key::Clear || key == Key::PA1 || key == Key::PA2 || key == Key::PA3 ||
         key == Key::SysReq;
}

}  // namespace

std::optional<Key> key_for_aid(uint8_t aid) {
  for (const AidEntry& e : kAids) {
    if (e.aid == aid) return e.key;
  }
  return std::nullopt;
}

uint8_t aid_for_key(Key key) {
  if (key == Key::SysReq) return 0xF0;
  for (const AidEntry& e : kAids) {
    if (e.key == key) return e.aid;
  }
  return 0;
}

bool parse_inbound(std::string_view record, InboundMessage* message, const CodePage& page) {
  *message = InboundMessage{};
  if (record.empty()) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
  message->aid = bytes[0];
  message->key = key_for_aid(bytes[0]);
  if (!message->key || short_read(*message->key) || record.size() < 3) return true;
  message->cursor = decode_buffer_address(bytes[1], bytes[2]);
  InboundField* field = nullptr;
  for (std::size_t i = 3; i < record.size(); ++i) {
    if (bytes[i] == kOrderSetBufferAddress) {
      if (i + 2 >= record.size()) break;  // a cut-off address ends the record
      message->fields.push_back(
          InboundField{decode_buffer_address(bytes[i + 1], bytes[i + 2]), {}});
      field = &message->fields.back();
      i += 2;
    } else if (field && bytes[i] != 0x00) {
      field->text += page.to_ascii(bytes[i]);
    }
  }
  return true;
}

}  // namespace hostsim
