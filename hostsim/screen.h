// A presentation space as the host paints it and the terminal user types into
// it: displayed characters, field attributes and the cursor. Its size is that
// of the screen last painted: the default 24 x 80 or a larger alternate one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "hostsim/screen_geometry.h"

namespace hostsim {

// 3270 field attribute bits.
constexpr uint8_t kAttributeProtected = 0x20;
constexpr uint8_t kAttributeNumeric = 0x10;
constexpr uint8_t kAttributeModified = 0x01;

class Screen {
 public:
  Screen();

  // The layout of every host screen: one unprotected field covering the whole
  // screen, its attribute in the last position, holding text from position 0
  // (cut to the screen's text capacity). Characters outside 0x20..0x7E show
  // as blanks.
  void PaintField(std::string_view text, int cursor, ScreenGeometry geometry = kDefaultGeometry);

  ScreenGeometry Geometry() const { return geometry_; }
  int GetSize() const { return geometry_.GetSize(); }
  // Painted on the alternate screen (Erase/Write Alternate).
  bool Alternate() const { return !(geometry_ == kDefaultGeometry); }
  // Displayed characters, size() of them; attribute positions show as blanks.
  std::string_view GetText() const { return {chars_.data(), chars_.size()}; }
  char At(int position) const { return chars_[Index(position)]; }
  bool IsAttribute(int position) const { return attributes_[Index(position)] != 0; }
  // Attribute bits of an attribute position (0 elsewhere).
  uint8_t Attribute(int position) const { return attributes_[Index(position)] & 0x7F; }
  bool IsProtected(int position) const { return protected_[Index(position)]; }
  int Cursor() const { return cursor_; }
  // The last position, not counting trailing blanks, that the host filled.
  std::size_t PaintedLength() const { return painted_length_; }

  // Types text from position on, as a terminal user would: wraps at the end of
  // the screen and stops before a field attribute or protected position.
  // Sets the modified bit of the field. Returns the characters written.
  std::size_t Type(int position, std::string_view text);
  void MoveCursor(int position) { cursor_ = Index(position); }

 private:
  std::size_t Index(int position) const {
    const int size = geometry_.GetSize();
    return static_cast<std::size_t>(((position % size) + size) % size);
  }
  int FieldAttributeOf(int position) const;

  ScreenGeometry geometry_;
  std::vector<char> chars_;
  std::vector<uint8_t> attributes_;  // 0x80 | bits at attribute positions
  std::vector<bool> protected_;
  int cursor_ = 0;
  std::size_t painted_length_ = 0;
};

}  // namespace hostsim
