// Controls that only show text.
#pragma once

#include <string>

#include "toolkit/control.h"

namespace tk {

// A caption; its "&" hot key moves focus to the next tab stop after it.
class Label : public Control {
 public:
  Label(Rect r, std::string text) : Control(r), text_(std::move(text)) {}
  void SetText(std::string t) { text_ = std::move(t); }
  const std::string& GetText() const { return text_; }
  void Draw(Painter& p) const override;
  char32_t HotKey() const override;
  void OnHotKey(char32_t key) override;

 private:
  std::string text_;
};

// A display-only text, shown as is (no hot key), cut at the control's width.
class Text : public Control {
 public:
  Text(Rect r, std::string text = {}) : Control(r), text_(std::move(text)) {}
  void SetText(std::string t) { text_ = std::move(t); }
  const std::string& GetText() const { return text_; }
  void Draw(Painter& p) const override;

 protected:
  virtual Attr GetAttr(const Theme& t) const { return t.window; }

 private:
  std::string text_;
};

// A display-only decimal number.
class NumberText : public Text {
 public:
  NumberText(Rect r, long value = 0) : Text(r) { SetValue(value); }
  void SetValue(long v);
  long Value() const { return value_; }

 private:
  long value_ = 0;
};

// A one-line message area (status texts).
class StatusLine : public Text {
 public:
  using Text::Text;

 protected:
  Attr GetAttr(const Theme& t) const override { return t.status; }
};

}  // namespace tk
