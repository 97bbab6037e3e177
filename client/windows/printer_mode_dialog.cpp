#include "client/windows/printer_mode_dialog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "client/engine/printer_selection.h"
#include "client/windows/message_dialog.h"
#include "common/trace.h"
#include "platform/print/printer_profile.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"

namespace client::windows {

namespace {

using platform::DeviceCapabilities;
using platform::DeviceMode;

// Private command codes of the dialog's drop-down lists.
constexpr int kMediaChanged = 20201, kOrientationChanged = 20202, kSidesChanged = 20203;

// A value only goes into the block if the block's own parser takes it.
bool Keepable(const char* name, const std::string& value) {
  DeviceMode probe;
  return platform::ParseDeviceMode(std::string(name) + "=" + value, &probe);
}

// One option as a drop-down of the offered values; the current value is
// offered too, so opening the dialog never changes a setting by itself.
class OptionChoice {
 public:
  OptionChoice(tk::Window& w, int row, const char* label, const char* name,
               const std::vector<std::string>& offered, const std::string& current, int command,
               std::string (*show)(const std::string&))
      : current_(current) {
    for (const std::string& v : offered)
      if (Keepable(name, v) && std::find(values_.begin(), values_.end(), v) == values_.end())
        values_.push_back(v);
    if (!current.empty() && std::find(values_.begin(), values_.end(), current) == values_.end())
      values_.insert(values_.begin(), current);
    w.Add<tk::Label>(tk::Rect{1, row, 13, 1}, label);
    if (values_.empty()) {
      w.Add<tk::Text>(tk::Rect{15, row, 30, 1}, "(printer's own)");
      return;
    }
    list_ = &w.Add<tk::DropDownList>(tk::Rect{15, row, 30, 1}, command);
    for (const std::string& v : values_) list_->AddItem(show ? show(v) : v);
    auto at = std::find(values_.begin(), values_.end(), current);
    if (at != values_.end()) list_->SetSelected(static_cast<int>(at - values_.begin()));
  }

  std::string Value() const {
    if (!list_ || list_->Selected() < 0) return current_;
    return values_[static_cast<size_t>(list_->Selected())];
  }

 private:
  std::string current_;
  std::vector<std::string> values_;
  tk::DropDownList* list_ = nullptr;
};

class ModeWindow : public tk::Window {
 public:
  ModeWindow(tk::Size screen, const InterfaceTexts& texts, const std::string& printer,
             const DeviceCapabilities& caps, const DeviceMode& mode)
      : tk::Window(tk::Rect{0, 0, 48, 12}, printer),
        media_(*this, 1, "&Paper:", "media", caps.media, mode.media, kMediaChanged, MediaLabel),
        orientation_(*this, 3, "&Orientation:", "orientation", caps.orientations, mode.orientation,
                     kOrientationChanged, nullptr),
        sides_(*this, 5, "S&ides:", "sides", caps.sides, mode.sides, kSidesChanged, nullptr) {
    Center(screen);
    Add<tk::Label>(tk::Rect{1, 7, 13, 1}, "&Copies:");
    const long max_copies = std::clamp(caps.max_copies, 1, 999);
    const long copies =
        std::clamp(mode.copies > 0 ? mode.copies : 1, 1, static_cast<int>(max_copies));
    copies_ = &Add<tk::IntField>(tk::Rect{15, 7, 7, 1}, 1, max_copies, copies);
    Add<tk::Button>(tk::Rect{10, 9, 10, 1}, texts("OK"), cmd::kOk);
    Add<tk::Button>(tk::Rect{26, 9, 10, 1}, texts("CANCEL"), cmd::kCancel);
  }

  DeviceMode Chosen(const DeviceMode& start) const {
    DeviceMode m = start;
    m.media = media_.Value();
    m.orientation = orientation_.Value();
    m.sides = sides_.Value();
    m.copies = static_cast<int>(copies_->Value());
    return m;
  }

 private:
  OptionChoice media_, orientation_, sides_;
  tk::IntField* copies_ = nullptr;
};

void Fail(ClientShell& shell, const char* text) { shell.ShowDialog(text, "ZEZUVODU", kButtonOk); }

bool OffersNothing(const DeviceCapabilities& caps) {
  return caps.media.empty() && caps.orientations.empty() && caps.sides.empty();
}

}  // namespace

std::string MediaLabel(const std::string& media) {
  // class_name_dimensions, as in iso_a4_210x297mm or na_letter_8.5x11in
  size_t first = media.find('_'), last = media.rfind('_');
  if (first == std::string::npos || last == first || last + 1 >= media.size()) return media;
  std::string name = media.substr(first + 1, last - first - 1);
  if (name.empty()) return media;
  name[0] = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
  return name + " " + media.substr(last + 1);
}

bool RunModeDialog(tk::WindowManager& wm, const InterfaceTexts& texts, const std::string& printer,
                   const DeviceCapabilities& caps, DeviceMode* mode) {
  ModeWindow window(wm.ScreenSize(), texts, printer, caps, *mode);
  if (wm.RunModal(window, {cmd::kOk, cmd::kCloseModal}) != cmd::kOk) return false;
  *mode = window.Chosen(*mode);
  return true;
}

void EditPrinterMode(PrinterSetup& setup, const char* printer_name) {
  const std::string name = printer_name ? printer_name : "";
  if (name.empty() || !platform::FindPrinter(platform::LoadPrinterProfile(), name)) {
    Fail(setup.shell, "Cannot OpenPrinter");
    return;
  }
  PrinterSetupHooks& hooks = setup.printing.hooks;
  DeviceCapabilities caps;
  const bool known = hooks.query_capabilities ? hooks.query_capabilities(name, &caps)
                                              : platform::QueryDeviceCapabilities(name, &caps);
  if (!known) {
    // The destination is listed but cannot tell what it offers.
    char text[64];
    snprintf(text, sizeof text, "GetPrinter failed %ld [%d]", 0L, 84);
    Fail(setup.shell, text);
    return;
  }
  if (OffersNothing(caps)) {
    Fail(setup.shell, "Got no length");
    return;
  }
  // The printer's current defaults, as the device will read them back.
  DeviceMode block;
  if (!platform::ParseDeviceMode(platform::SerializeDeviceMode(caps.defaults), &block)) {
    Fail(setup.shell, "Got no devmode");
    return;
  }
  PrinterSelection& selection = setup.printing.selection;
  selection.printer_devmode = std::make_shared<const DeviceMode>(block);
  if (setup.trace.On()) {
    std::string text = platform::SerializeDeviceMode(block);
    setup.trace.Write("DEV MODE", text.data(), static_cast<long>(text.size()));
  }
  DeviceMode chosen = block;
  if (!RunModeDialog(setup.ui.wm, setup.ui.texts, name, caps, &chosen)) return;
  DeviceMode checked;
  if (!platform::ParseDeviceMode(platform::SerializeDeviceMode(chosen), &checked)) {
    char text[64];
    snprintf(text, sizeof text, "PROMPT failed %ld", static_cast<long>(EINVAL));
    Fail(setup.shell, text);
    return;
  }
  selection.printer_devmode = std::make_shared<const DeviceMode>(checked);
}

}  // namespace client::windows
