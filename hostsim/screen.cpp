#include "hostsim/screen.h"

namespace hostsim {

Screen::Screen()
    : chars_(static_cast<std::size_t>(kScreenSize), ' '),
      attributes_(static_cast<std::size_t>(kScreenSize), 0),
      protected_(static_cast<std::size_t>(kScreenSize), false) {}

void Screen::PaintField(std::string_view text, int cursor, ScreenGeometry geometry) {
  if (geometry.rows < 1 || geometry.columns < 1 || geometry.GetSize() > kLargestScreenSize)
    geometry = kDefaultGeometry;
  geometry_ = geometry;
  const std::size_t size = static_cast<std::size_t>(geometry.GetSize());
  chars_.assign(size, ' ');
  attributes_.assign(size, 0);
  protected_.assign(size, false);
  attributes_[size - 1] = 0x80;  // unprotected, normal, not modified
  protected_[size - 1] = true;
  if (text.size() > geometry.TextCapacity()) text = text.substr(0, geometry.TextCapacity());
  painted_length_ = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    chars_[i] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    if (chars_[i] != ' ') painted_length_ = i + 1;
  }
  cursor_ = static_cast<int>(Index(cursor));
}

int Screen::FieldAttributeOf(int position) const {
  for (int back = 0; back < GetSize(); ++back) {
    const std::size_t p = Index(position - back);
    if (attributes_[p]) return static_cast<int>(p);
  }
  return -1;  // unformatted screen
}

std::size_t Screen::Type(int position, std::string_view text) {
  std::size_t written = 0;
  std::size_t p = Index(position);
  // Typing stops at the next attribute, so one field takes all of it.
  const int field = FieldAttributeOf(static_cast<int>(p));
  for (char c : text) {
    if (attributes_[p] || protected_[p]) break;
    chars_[p] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
    ++written;
    p = Index(static_cast<int>(p) + 1);
  }
  if (written) {
    if (field >= 0) attributes_[static_cast<std::size_t>(field)] |= kAttributeModified;
    cursor_ = static_cast<int>(p);
  }
  return written;
}

}  // namespace hostsim
