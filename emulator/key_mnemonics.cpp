#include "emulator/key_mnemonics.h"

namespace emulator {
namespace {

// The mnemonic after one escape character.
bool PlainMnemonic(char c, Key* key) {
  if (c >= '1' && c <= '9') {
    *key = PfKey(c - '0');
    return true;
  }
  if (c >= 'a' && c <= 'o') {  // PF10 to PF24
    *key = PfKey(10 + (c - 'a'));
    return true;
  }
  switch (c) {
    case 'E': *key = Key::kEnter; return true;
    case 'C': *key = Key::kClear; return true;
    case 'x': *key = Key::kPA1; return true;
    case 'y': *key = Key::kPA2; return true;
    case 'z': *key = Key::kPA3; return true;
    case 'R': *key = Key::kReset; return true;
    case 'F': *key = Key::kEraseEof; return true;
    case 'U': *key = Key::kUp; return true;
    case 'V': *key = Key::kDown; return true;
    case 'L': *key = Key::kLeft; return true;
    case 'Z': *key = Key::kRight; return true;
    case '0': *key = Key::kHome; return true;
    case 'T': *key = Key::kTab; return true;
    case 'B': *key = Key::kBackTab; return true;
    case 'N': *key = Key::kNewLine; return true;
    case 'D': *key = Key::kDelete; return true;
    case 'I': *key = Key::kInsert; return true;
    case '<': *key = Key::kBackspace; return true;
    case 'q': *key = Key::kFieldEnd; return true;
    default: return false;
  }
}

// The mnemonic after "escape A escape".
bool AltMnemonic(char c, Key* key) {
  switch (c) {
    case 'H': *key = Key::kSysReq; return true;
    case 'Q': *key = Key::kAttn; return true;
    case 'F': *key = Key::kEraseInput; return true;
    case 'J': *key = Key::kCursorSelect; return true;
    default: return false;
  }
}

}  // namespace

bool ParseKeyString(std::string_view keys, char escape, std::vector<KeyStroke>* strokes,
                    std::size_t* bad_offset) {
  strokes->clear();
  auto add_text = [strokes](char c) {
    if (strokes->empty() || strokes->back().is_key) strokes->push_back(KeyStroke{});
    strokes->back().text.push_back(c);
  };
  std::size_t i = 0;
  while (i < keys.size()) {
    char c = keys[i];
    if (c != escape) {
      add_text(c);
      ++i;
      continue;
    }
    *bad_offset = i;
    if (i + 1 >= keys.size()) return false;
    char m = keys[i + 1];
    if (m == escape) {  // a doubled escape types the character itself
      add_text(escape);
      i += 2;
      continue;
    }
    KeyStroke stroke;
    stroke.is_key = true;
    if (m == 'A') {
      if (i + 3 >= keys.size() || keys[i + 2] != escape || !AltMnemonic(keys[i + 3], &stroke.key))
        return false;
      i += 4;
    } else {
      if (!PlainMnemonic(m, &stroke.key)) return false;
      i += 2;
    }
    strokes->push_back(stroke);
  }
  return true;
}

}  // namespace emulator
