// Push button, check box and radio group.
#pragma once

#include <string>
#include <vector>

#include "toolkit/control.h"

namespace tk {

// Posts its command when pressed: Enter or Space while focused, a click, or
// its hot key. An OK button becomes its window's default, a Cancel button
// its Esc answer.
class Button : public Control {
 public:
  Button(Rect r, std::string text, int command);
  const std::string& GetText() const { return text_; }
  void SetText(std::string t) { text_ = std::move(t); }
  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;
  char32_t HotKey() const override;
  void OnHotKey(char32_t) override { Press(); }
  void Press();

 private:
  std::string text_;
};

// "[X] text". Space, a click or the hot key toggles it and posts its
// command with param 1 (checked) or 0.
class CheckBox : public Control {
 public:
  CheckBox(Rect r, std::string text, int command, bool checked = false);
  bool Checked() const { return checked_; }
  void SetChecked(bool c) { checked_ = c; }
  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;
  char32_t HotKey() const override;
  void OnHotKey(char32_t) override { Toggle(); }
  void Toggle();

 private:
  std::string text_;
  bool checked_;
};

// A titled group of radio buttons, one tab stop. The buttons keep the order
// in which they were added (arrows walk that order); the first one added is
// checked until set_checked says otherwise. Choosing a button checks it and
// posts its command.
class RadioGroup : public Control {
 public:
  RadioGroup(Rect r, std::string title) : Control(r), title_(std::move(title)) {}
  // pos is relative to the group's corner.
  int AddButton(Point pos, std::string text, int command);
  int Checked() const { return checked_; }
  void SetChecked(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  int CommandOf(int index) const { return buttons_.at(index).command; }

  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;
  // The group answers to the hot key of any of its buttons.
  bool AnswersHotKey(char32_t key) const override { return HotKeyIndex(key) >= 0; }
  void OnHotKey(char32_t key) override;

 private:
  struct RadioButton {
    Point pos;
    std::string text;
    int command;
  };
  int HotKeyIndex(char32_t key) const;
  void Choose(int index);

  std::string title_;
  std::vector<RadioButton> buttons_;
  int checked_ = -1;
};

}  // namespace tk
