// Lists: a list box with a vertical scroll bar and a drop-down list.
#pragma once

#include <string>
#include <vector>

#include "toolkit/control.h"

namespace tk {

// A list of text rows; the last column is the vertical scroll bar (arrows at
// both ends, a thumb showing where the view is). Up/Down/PgUp/PgDn/Home/End
// and a typed letter (next row starting with it) move the selection; a click
// selects; Enter or a double-click chooses the selected row.
//
// Notices, each a command event with param = row index, text = row text:
// select_command when the user moves the selection, choose_command when the
// user chooses a row. With add_index set, the row index is added to either
// code (rows answering 20100, 20101, ...). A list without choose_command
// leaves Enter to the window (its default button).
//
// A read-only list (selectable off) shows text only: the keys scroll it.
class ListBox : public Control {
 public:
  explicit ListBox(Rect r, bool scroll_bar = true) : Control(r), scroll_bar_(scroll_bar) {}

  void AddItem(std::string text) { items_.push_back(std::move(text)); }
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Item(int i) const { return items_.at(i); }
  int Selected() const { return selected_; }
  void SetSelected(int i);  // -1: none; scrolls it into view
  int Top() const { return top_; }
  void SetTop(int t);

  int select_command = 0;
  int choose_command = 0;
  bool add_index = false;
  bool selectable = true;

  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;

 private:
  int TextWidth() const { return GetRect().width - (scroll_bar_ ? 1 : 0); }
  int Rows() const { return GetRect().height; }
  int MaxTop() const;
  void MoveTo(int index);  // user selection change
  void Choose();
  void Notify(int code);
  void DrawScrollBar(Painter& p) const;
  bool ScrollBarClick(int y);

  std::vector<std::string> items_;
  bool scroll_bar_;
  int selected_ = -1;
  int top_ = 0;
};

// One row showing the chosen entry and "▼". Enter, Space, Alt+Down or a click
// opens the list below it; Up/Down while closed step through the entries.
// Every change of the choice by the user posts command (param = index,
// text = entry).
class DropDownList : public Control {
 public:
  DropDownList(Rect r, int command, int list_rows = 6);
  void AddItem(std::string text) { items_.push_back(std::move(text)); }
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Item(int i) const { return items_.at(i); }
  int Selected() const { return selected_; }
  void SetSelected(int i);
  bool SelectText(const std::string& text);  // false when no entry matches

  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;
  void OnFocus(bool gained) override;

  bool OverlayOpen() const override { return open_; }
  Rect OverlayRect() const override;
  void DrawOverlay(Painter& p) const override;
  void CloseOverlay() override { open_ = false; }

 private:
  void Choose(int index);
  void ShowHighlight();

  std::vector<std::string> items_;
  int list_rows_;
  int selected_ = -1;
  bool open_ = false;
  int highlight_ = 0;
  int top_ = 0;
};

}  // namespace tk
