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

void SetAddress(std::string& out, int position) {
  uint8_t address[2];
  EncodeBufferAddress(position, address);
  out += static_cast<char>(kOrderSetBufferAddress);
  out += static_cast<char>(address[0]);
  out += static_cast<char>(address[1]);
}

// Text from first up to (not including) end, wrapping; trailing blanks are left
// as the NULs an erase leaves behind.
void PutText(std::string& out, const Screen& screen, const CodePage& page, int first, int count) {
  int length = count;
  while (length > 0 && screen.At(first + length - 1) == ' ') --length;
  for (int i = 0; i < length; ++i) out += static_cast<char>(page.ToEbcdic(screen.At(first + i)));
}

}  // namespace

std::string EraseWriteStream(const Screen& screen, const CodePage& page) {
  std::string stream;
  stream +=
      static_cast<char>(screen.Alternate() ? kCommandEraseWriteAlternate : kCommandEraseWrite);
  stream += static_cast<char>(kWccResetRestoreKeyboard);

  const int size = screen.GetSize();
  std::vector<int> attributes;
  for (int p = 0; p < size; ++p) {
    if (screen.IsAttribute(p)) attributes.push_back(p);
  }
  if (attributes.empty()) {
    SetAddress(stream, 0);
    PutText(stream, screen, page, 0, size);
  } else {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
      const int a = attributes[i];
      const int next = i + 1 < attributes.size() ? attributes[i + 1] : attributes[0] + size;
      SetAddress(stream, a);
      stream += static_cast<char>(kOrderStartField);
      stream += static_cast<char>(SixBitCode(screen.Attribute(a)));
      PutText(stream, screen, page, a + 1, next - a - 1);
    }
  }
  SetAddress(stream, screen.Cursor());
  stream += static_cast<char>(kOrderInsertCursor);
  return stream;
}

std::string TelnetRecord(std::string_view data) {
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

std::string EraseWriteRecord(const Screen& screen, const CodePage& page) {
  return TelnetRecord(EraseWriteStream(screen, page));
}

}  // namespace hostsim
