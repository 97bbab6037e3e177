// A window's menu bar: titles on the row under the title bar, each either
// a drop-down of items and separators or a command acting at once. F10
// opens the first menu, Alt plus a title's hot key opens that one.
#pragma once

#include <string>
#include <vector>

#include "toolkit/event.h"
#include "toolkit/painter.h"

namespace tk {

class Window;

struct MenuItem {
  std::string text;  // "&Immediate" or "&Immediate\tF6" (right-aligned hint)
  int command = 0;
  bool separator = false;
  bool enabled = true;
};

struct Menu {
  std::string text;
  int command = 0;  // a title without items posts this when chosen
  std::vector<MenuItem> items;
  bool enabled = true;

  Menu& Item(std::string item_text, int item_command);
  Menu& Separator();
};

class MenuBar {
 public:
  explicit MenuBar(Window& owner) : owner_(owner) {}

  Menu& AddMenu(std::string text);
  void AddCommand(std::string text, int command);
  std::vector<Menu>& Menus() { return menus_; }
  const std::vector<Menu>& Menus() const { return menus_; }
  // Enables or greys every item and title carrying the command.
  void SetEnabled(int command, bool enabled);

  bool Open() const { return open_ >= 0; }
  int OpenIndex() const { return open_; }
  int SelectedItem() const { return item_; }
  void Open(int index);
  void Close();

  // Keys while closed: F10 and Alt+hot key. Keys while open: everything.
  bool HandleKey(int code);
  // x, y relative to the window's menu row / screen; see menu_bar.cpp.
  bool HandleMouse(const Event& e);

  void Draw(Painter& row) const;             // the bar itself, on its row
  void DrawDropDown(Painter& screen) const;  // the open drop-down, screen coordinates
  Rect DropDownRect() const;                 // screen coordinates
  int TitleX(int index) const;               // offset of a title in the row

 private:
  void Choose(int menu, int item);
  void MoveItem(int step);
  int DropDownWidth(const Menu& m) const;

  Window& owner_;
  std::vector<Menu> menus_;
  int open_ = -1;
  int item_ = -1;
};

}  // namespace tk
