// Fuzzes texts from outside (message-file wording shown in windows) and
// arbitrary key and mouse sequences against a dialog holding every control.
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/button.h"
#include "toolkit/headless_display.h"
#include "toolkit/keys.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"
#include "toolkit/utf8.h"
#include "toolkit/window_manager.h"

namespace {

using namespace tk;

const int kKeys[] = {key::kTab,
                     key::kTab | key::kShift,
                     key::kEnter,
                     key::kEscape,
                     key::kUp,
                     key::kDown,
                     key::kLeft,
                     key::kRight,
                     key::kHome,
                     key::kEnd,
                     key::kPageUp,
                     key::kPageDown,
                     key::kBackspace,
                     key::kDelete,
                     key::F(10),
                     key::F(1),
                     ' '};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  std::string text = input.substr(0, split);
  std::string script = split == std::string::npos ? std::string() : input.substr(split + 1);

  HeadlessDisplay display(60, 20);
  EventQueue queue(&display);
  WindowManager wm(display, queue);
  Window w({2, 2, 50, 16}, text, kBorder | kSystemButton | kMinimizeButton | kMaximizeButton);
  w.GetMenuBar().AddMenu(text).Item(text, 1).Separator().Item("&Quit", 2);
  w.GetMenuBar().AddCommand(text, 3);
  w.Add<Label>(Rect{0, 0, 10, 1}, text);
  w.Add<TextField>(Rect{10, 0, 12, 1}, 20, true).SetText(text);
  w.Add<IntField>(Rect{10, 1, 8, 1}, -5, 300, 7);
  auto& list = w.Add<ListBox>(Rect{24, 0, 20, 5});
  auto& drop = w.Add<DropDownList>(Rect{0, 3, 15, 1}, 4, 4);
  for (size_t i = 0; i < text.size() && i < 40; i += 3) {
    list.AddItem(text.substr(i));
    drop.AddItem(text.substr(i, 5));
  }
  list.choose_command = 5;
  list.add_index = true;
  auto& group = w.Add<RadioGroup>(Rect{0, 5, 20, 4}, text);
  group.AddButton({2, 1}, text, 6);
  group.AddButton({2, 2}, "&Second", 7);
  w.Add<CheckBox>(Rect{22, 6, 20, 1}, text, 8);
  w.Add<Button>(Rect{0, 11, 10, 1}, "OK", cmd::kOk);
  w.Add<Button>(Rect{12, 11, 10, 1}, text, cmd::kCancel);

  for (size_t i = 0; i + 1 < script.size(); i += 2) {
    uint8_t op = static_cast<uint8_t>(script[i]), arg = static_cast<uint8_t>(script[i + 1]);
    switch (op % 6) {
      case 0: display.Key(kKeys[arg % (sizeof kKeys / sizeof kKeys[0])]); break;
      case 1: display.Key(arg >= 0x20 ? arg : 'a'); break;
      case 2: display.Key(key::kAlt | ('a' + arg % 26)); break;
      case 3: display.Click(arg % 60, (arg / 60) % 20 + (op / 6) % 20); break;
      case 4: display.DoubleClick(arg % 60, op % 20); break;
      default: display.Resize(arg % 100, op % 40); break;
    }
  }
  wm.RunModal(w, {cmd::kOk, cmd::kCloseModal});
  return 0;
}
