#include "hostsim/outbound_3270.h"

#include <vector>

#include "hostsim/buffer_address.h"
#include "hostsim/telnet_reader.h"

namespace hostsim {
namespace {

constexpr uint8_t kCommandEraseWrite = 0xF5;
constexpr uint8_t kCommandEraseWriteAlternate = 0x7E;
constexpr uint8_t kWccResetRestoreKeyboard = 0xC3;
constexpr uint8_t kOrderStartField = 0x1D;
constexpr uint8_t kOrderSetBufferAddress = 0x11;
constexpr uint8_t kOrderInsertCursor = 0x13;

void set_address(std::string& out, int position) {
  uint8_t address[2];
  encode_buffer_address(position, address);
  out += static_cast<char>(kOrderSetBufferAddress);
  out += static_cast<char>(address[0]);
  out += static_cast<char>(address[1]);
}

// Text from first up to (not including) end, wrapping; trailing blanks are left
// as the NULs an erase leaves behind.
void put_text(std::string& out, const Screen& screen, const CodePage& page, int first, int count) {
  int length = count;
  while (length > 0 && screen.at(first + length - 1) == ' ') --length;
  for (int i = 0; i < length; ++i) out += static_cast<char>(page.to_ebcdic(screen.at(first + i)));
}

}  // namespace

std::string erase_write_stream(const Screen& screen, const CodePage& page) {
  std::string stream;
  stream +=
      static_cast<char>(screen.alternate() ? kCommandEraseWriteAlternate : kCommandEraseWrite);
  stream += static_cast<char>(kWccResetRestoreKeyboard);

  const int size = screen.size();
  std::vector<int> attributes;
  for (int p = 0; p < size; ++p) {
    if (screen.is_attribute(p)) attributes.push_back(p);
  }
  if (attributes.empty()) {
    set_address(stream, 0);
    put_text(stream, screen, page, 0, size);
  } else {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
      const int a = attributes[i];
      const int next = i + 1 < attributes.size() ? attributes[i + 1] : attributes[0] + size;
      set_address(stream, a);
      stream += static_cast<char>(kOrderStartField);
      stream += static_cast<char>(six_bit_code(screen.attribute(a)));
      put_text(stream, screen, page, a + 1, next - a - 1);
    }
  }
  set_address(stream, screen.cursor());
  stream += static_cast<char>(kOrderInsertCursor);
  return stream;
}

std::string telnet_record(std::string_view data) {
  std::string record;
  record.reserve(data.size() + 8);
  for (char c : data) {
    record += c;
    if (static_cast<uint8_t>(c) == telnet::kIac) record += c;
  }
  record += static_cast<char>(telnet::kIac);
  record += static_cast<char>(telnet::kEor);
  return record;
}

std::string erase_write_record(const Screen& screen, const CodePage& page) {
  return telnet_record(erase_write_stream(screen, page));
}

}  // namespace hostsim
