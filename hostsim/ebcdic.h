// The host's EBCDIC code page for the printable ASCII characters it paints
// and reads back. The default is code page 037 with the brackets where 3270
// emulators put them by default ("bracket"); national pages (cp273 German,
// cp297 French, cp500, cp1047, the euro variants, ...) come from the system's
// tables (glibc's iconv on Linux, the national language support on Windows).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace hostsim {

class CodePage {
 public:
  // The default page, "bracket".
  CodePage();
  // "bracket", or "cpNNN" / "NNN" for an EBCDIC page the system knows as IBMNNN.
  // False with the reason when there is no such EBCDIC page.
  static bool Load(std::string_view name, CodePage* page, std::string* problem);

  const std::string& Name() const { return name_; }
  // EBCDIC for a printable ASCII character; a blank (0x40) for anything else.
  uint8_t ToEbcdic(char c) const {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x20 && u <= 0x7E) ? to_ebcdic_[u - 0x20] : 0x40;
  }
  // ASCII for an EBCDIC byte; '?' where there is no printable ASCII
  // character, and a blank for the EBCDIC blank and NUL.
  char ToAscii(uint8_t b) const { return to_ascii_[b]; }

 private:
  std::string name_;
  std::array<uint8_t, 95> to_ebcdic_{};  // printable ASCII 0x20..0x7E in order
  std::array<char, 256> to_ascii_{};
};

const CodePage& DefaultCodePage();

// Through the default page.
uint8_t AsciiToEbcdic(char c);
char EbcdicToAscii(uint8_t b);

}  // namespace hostsim
