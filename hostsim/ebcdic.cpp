#include "hostsim/ebcdic.h"

#include "hostsim/system_code_page.h"

#include <cctype>
#include <cstring>

namespace hostsim {
namespace {

// Printable ASCII 0x20..0x7E in order, code page 037 with the brackets at AD/BD.
constexpr uint8_t kBracket[95] = {
    0x40, 0x5A, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xAD, 0xE0, 0xBD, 0xB0, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x4F, 0xD0, 0xA1};

// "cp273", "CP273" or "273" -> "IBM273"; "" when the name is not of that form.
std::string IbmName(std::string_view name) {
  if (name.size() > 2 && (name[0] == 'c' || name[0] == 'C') && (name[1] == 'p' || name[1] == 'P'))
    name.remove_prefix(2);
  if (name.empty() || name.size() > 5) return "";
  for (char c : name)
    if (!std::isdigit(static_cast<unsigned char>(c))) return "";
  std::string digits(name);
  while (digits.size() > 3 && digits[0] == '0') digits.erase(0, 1);
  while (digits.size() < 3) digits.insert(0, "0");
  return "IBM" + digits;
}

}  // namespace

CodePage::CodePage() : name_("bracket") {
  std::memcpy(to_ebcdic_.data(), kBracket, sizeof kBracket);
  to_ascii_.fill('?');
  for (int i = 0; i < 95; ++i) to_ascii_[kBracket[i]] = static_cast<char>(0x20 + i);
  to_ascii_[0x00] = ' ';
  to_ascii_[0xBA] = '[';  // true code page 037 brackets read as brackets too
  to_ascii_[0xBB] = ']';
}

bool CodePage::Load(std::string_view name, CodePage* page, std::string* problem) {
  if (name == "bracket") {
    *page = CodePage();
    return true;
  }
  const std::string system_name = IbmName(name);
  if (system_name.empty()) {
    *problem = "\"" + std::string(name) + "\" is not a code page name like cp037 or cp273";
    return false;
  }
  SystemCodePage system;
  if (!system.Open(system_name, problem)) return false;
  CodePage p;
  p.name_ = "cp" + system_name.substr(3);
  bool whole = true;
  for (int i = 0; i < 95 && whole; ++i)
    whole = system.FromLatin1(static_cast<unsigned char>(0x20 + i),
                              &p.to_ebcdic_[static_cast<std::size_t>(i)]);
  p.to_ascii_.fill('?');
  for (int b = 0; b < 256; ++b) {
    unsigned char c = 0;
    if (system.ToLatin1(static_cast<unsigned char>(b), &c) && c >= 0x20 && c <= 0x7E)
      p.to_ascii_[static_cast<std::size_t>(b)] = static_cast<char>(c);
  }
  p.to_ascii_[0x00] = ' ';
  // Every printable ASCII character must have its own EBCDIC byte, and the
  // blank and the letters must sit where EBCDIC has them.
  if (!whole || p.to_ebcdic_[0] != 0x40 || p.to_ebcdic_['A' - 0x20] != 0xC1) {
    *problem = system_name + " is not an EBCDIC code page for the ASCII characters";
    return false;
  }
  for (int i = 0; i < 95; ++i) {
    if (p.to_ascii_[p.to_ebcdic_[static_cast<std::size_t>(i)]] != static_cast<char>(0x20 + i)) {
      *problem = system_name + " does not give every ASCII character a byte of its own";
      return false;
    }
  }
  *page = p;
  return true;
}

const CodePage& DefaultCodePage() {
  static const CodePage page;
  return page;
}

uint8_t AsciiToEbcdic(char c) { return DefaultCodePage().ToEbcdic(c); }

char EbcdicToAscii(uint8_t b) { return DefaultCodePage().ToAscii(b); }

}  // namespace hostsim
