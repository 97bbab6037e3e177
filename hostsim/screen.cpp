#include "hostsim/screen.h"

namespace hostsim {

Screen::Screen()
    : chars_(static_cast<std::size_t>(kScreenSize), ' '),
      attributes_(static_cast<std::size_t>(kScreenSize), 0),
      protected_(static_cast<std::size_t>(kScreenSize), false) {}

void Screen::paint_field(std::string_view text, int cursor, ScreenGeometry geometry) {
  if (geometry.rows < 1 || geometry.columns < 1 || geometry.size() > kLargestScreenSize)
    geometry = kDefaultGeometry;
  geometry_ = geometry;
  const std::size_t size = static_cast<std::size_t>(geometry.size());
  chars_.assign(size, ' ');
  attributes_.assign(size, 0);
  protected_.assign(size, false);
  attributes_[size - 1] = 0x80;  // unprotected, normal, not modified
  protected_[size - 1] = true;
  if (text.size() > geometry.text_capacity()) text = text.substr(0, geometry.text_capacity());
  painted_length_ = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    chars_[i] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    if (chars_[i] != ' ') painted_length_ = i + 1;
  }
  cursor_ = static_cast<int>(index(cursor));
}

int Screen::field_attribute_of(int position) const {
  for (int back = 0; back < size(); ++back) {
    const std::size_t p = index(position - back);
    if (attributes_[p]) return static_cast<int>(p);
  }
  return -1;  // unformatted screen
}

std::size_t Screen::type(int position, std::string_view text) {
  std::size_t written = 0;
  std::size_t p = index(position);
  // Typing stops at the next attribute, so one field takes all of it.
  const int field = field_attribute_of(static_cast<int>(p));
  for (char c : text) {
    if (attributes_[p] || protected_[p]) break;
    chars_[p] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    ++written;
    p = index(static_cast<int>(p) + 1);
  }
  if (written) {
    if (field >= 0) attributes_[static_cast<std::size_t>(field)] |= kAttributeModified;
    cursor_ = static_cast<int>(p);
  }
  return written;
}

}  // namespace hostsim
