#include "toolkit/control.h"

#include "toolkit/window.h"

namespace tk {

bool Control::Focused() const { return window_ != nullptr && window_->Focus() == this; }

void Control::Post(int code, int param, std::string text) {
  if (window_ != nullptr) window_->Post(Event::Command(code, 0, param, std::move(text)));
}

void Control::Beep() {
  if (window_ != nullptr) window_->Beep();
}

}  // namespace tk
