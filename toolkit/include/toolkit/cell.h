// The screen model: a grid of cells, each a code point with colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/geometry.h"

namespace tk {

enum class Color : std::uint8_t { kBlack, kRed, kGreen, kYellow, kBlue, kMagenta, kCyan, kWhite };

struct Attr {
  Color fg = Color::kWhite;
  Color bg = Color::kBlack;
  bool bold = false;  // bright foreground on most terminals
  bool operator==(const Attr&) const = default;
};

struct Cell {
  char32_t ch = U' ';
  Attr attr;
  bool operator==(const Cell&) const = default;
};

class CellGrid {
 public:
  CellGrid() = default;
  CellGrid(Size size, Cell fill = {});

  Size GetSize() const { return size_; }
  void Resize(Size size, Cell fill = {});
  void Fill(Cell fill);
  bool InRange(int x, int y) const { return x >= 0 && y >= 0 && x < size_.cols && y < size_.rows; }
  // Out-of-range reads give a blank cell; out-of-range writes are dropped.
  const Cell& At(int x, int y) const;
  void Set(int x, int y, Cell c);
  std::string RowText(int y) const;  // UTF-8, trailing blanks kept

 private:
  Size size_;
  std::vector<Cell> cells_;
};

// Colours of every part the toolkit draws. Programs may pass their own.
struct Theme {
  Attr desktop{Color::kWhite, Color::kBlue};
  Attr window{Color::kBlack, Color::kWhite};
  Attr border{Color::kBlack, Color::kWhite};
  Attr border_active{Color::kBlue, Color::kWhite, true};
  Attr title{Color::kBlack, Color::kWhite, true};
  Attr decoration{Color::kGreen, Color::kWhite, true};
  Attr shadow{Color::kWhite, Color::kBlack};
  Attr hot{Color::kRed, Color::kWhite};
  Attr menu{Color::kBlack, Color::kCyan};
  Attr menu_hot{Color::kRed, Color::kCyan};
  Attr menu_selected{Color::kWhite, Color::kBlack, true};
  Attr menu_disabled{Color::kBlue, Color::kCyan};
  Attr field{Color::kWhite, Color::kBlue};
  Attr field_focused{Color::kYellow, Color::kBlue, true};
  Attr field_selected{Color::kBlue, Color::kWhite};  // a field's text that typing replaces
  Attr button{Color::kBlack, Color::kGreen};
  Attr button_focused{Color::kWhite, Color::kGreen, true};
  Attr button_hot{Color::kYellow, Color::kGreen, true};
  Attr disabled{Color::kBlack, Color::kWhite, true};   // dark grey on most terminals
  Attr focus_mark{Color::kWhite, Color::kBlue, true};  // a focused check box or radio button
  Attr list{Color::kBlack, Color::kCyan};
  Attr list_selected{Color::kWhite, Color::kBlue, true};
  Attr list_selected_unfocused{Color::kBlack, Color::kWhite};
  Attr scroll_bar{Color::kBlue, Color::kCyan};
  Attr status{Color::kBlack, Color::kWhite};
  Attr highlight{Color::kWhite, Color::kBlue, true};        // filled part of a bar
  Attr highlight_text{Color::kWhite, Color::kBlack, true};  // fixed text over a bar
};

}  // namespace tk
