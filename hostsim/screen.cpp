#include "hostsim/screen.h"

namespace hostsim {

Screen::Screen() {
  chars_.fill(' ');
  attributes_.fill(0);
  protected_.fill(false);
}

void Screen::paint_field(std::string_view text, int cursor) {
  chars_.fill(' ');
  attributes_.fill(0);
  protected_.fill(false);
  attributes_[kFieldAttributePosition] = 0x80;  // unprotected, normal, not modified
  protected_[kFieldAttributePosition] = true;
  if (text.size() > kScreenTextCapacity) text = text.substr(0, kScreenTextCapacity);
  painted_length_ = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    chars_[i] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    if (chars_[i] != ' ') painted_length_ = i + 1;
  }
  cursor_ = index(cursor);
}

int Screen::field_attribute_of(int position) const {
  for (int back = 0; back < kScreenSize; ++back) {
    const int p = index(position - back);
    if (attributes_[p]) return p;
  }
  return -1;  // unformatted screen
}

std::size_t Screen::type(int position, std::string_view text) {
  std::size_t written = 0;
  int p = index(position);
  // Typing stops at the next attribute, so one field takes all of it.
  const int field = field_attribute_of(p);
  for (char c : text) {
    if (attributes_[p] || protected_[p]) break;
    chars_[p] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    ++written;
    p = index(p + 1);
  }
  if (written) {
    if (field >= 0) attributes_[field] |= kAttributeModified;
    cursor_ = p;
  }
  return written;
}

}  // namespace hostsim
