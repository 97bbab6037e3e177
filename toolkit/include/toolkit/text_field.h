// Editable one-line fields.
#pragma once

#include <string>

#include "toolkit/control.h"

namespace tk {

// A text field that holds at most max_length characters (more is refused
// with a beep, also when typed into a full field; a longer set_text is cut)
// and optionally forces upper case. The view scrolls sideways when the text
// is wider than the field. With a command set, every change posts it with
// the new text. Entered from the keyboard (Tab, a hot key, the first focus),
// the field selects its whole text, as dialog boxes do: a character typed
// then replaces the text, Backspace or Delete empties it, and a cursor key or
// a click drops the selection.
class TextField : public Control {
 public:
  TextField(Rect r, int max_length, bool upper_case = false);
  std::string GetText() const;
  void SetText(std::string_view utf8);
  int MaxLength() const { return max_length_; }
  int Cursor() const { return cursor_; }
  bool TextSelected() const { return selected_; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool ro) { read_only_ = ro; }

  bool Focusable() const override { return true; }
  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;
  std::optional<Point> CursorPos() const override;
  void OnFocus(bool gained) override;

 protected:
  // Whether a character may go in; the default takes every printable one.
  virtual bool Accepts(char32_t c) const {
    (void)c;
    return true;
  }
  virtual void Changed();
  std::u32string& Buffer() { return text_; }
  const std::u32string& Buffer() const { return text_; }
  virtual int VisibleWidth() const;
  void SetCursor(int c);
  void SetMaxLength(int n) { max_length_ = n < 0 ? 0 : n; }
  void Deselect() { selected_ = false; }

 private:
  std::u32string text_;
  int max_length_;
  bool upper_;
  bool read_only_ = false;
  int cursor_ = 0;
  int scroll_ = 0;
  bool selected_ = false;  // the whole text; kept over SetText while focused

  bool ReplaceSelection(char32_t c);
};

// An integer field with spin buttons ("▲▼" in its last two cells) and a valid
// range. The first digit typed after the field gains focus replaces the old
// value (the text is selected, as in every field). Up/Down and the spin buttons step by one within
// the range; typing a digit that would go above the maximum is refused with a beep; a value below
// the minimum (or an empty field) makes the field invalid, so focus cannot leave it and OK is
// refused until it is corrected.
class IntField : public TextField {
 public:
  IntField(Rect r, long min, long max, long value);
  long Value() const;  // the last valid value
  void SetValue(long v);
  long Min() const { return min_; }
  long Max() const { return max_; }
  bool Valid() override;

  void Draw(Painter& p) const override;
  bool HandleKey(int code) override;
  bool HandleMouse(const Event& e, Point local) override;

 protected:
  bool Accepts(char32_t c) const override;
  void Changed() override;
  int VisibleWidth() const override { return GetRect().width > 3 ? GetRect().width - 2 : 1; }

 private:
  bool Parse(long& out) const;
  void Step(long delta);

  long min_;
  long max_;
  long last_valid_;
};

}  // namespace tk
