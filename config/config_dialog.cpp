#include "config/config_dialog.h"

#include <algorithm>

#include "config/text_dialogs.h"
#include "toolkit/button.h"

namespace config {

namespace {

constexpr int kFieldLength = 12;  // an adapter file name
constexpr int kMinListWidth = 56;

}  // namespace

ConfigDialog::ConfigDialog(tk::WindowManager& wm, Configurator& configurator,
                           common::MessageFile& messages)
    : Window({0, 0, 10, 5}, "QOR Settings Configurator"),
      wm_(wm),
      configurator_(configurator),
      messages_(messages) {
  notice_ = configurator_.LoadList();
  const EmulatorTable& table = configurator_.GetTable();

  tk::Size screen = wm.ScreenSize();
  int longest = 0;
  for (int k = 0; k < table.count; ++k)
    longest = std::max(longest, static_cast<int>(std::string(table.records[k].description).size()));
  int rows = std::clamp(table.count, 4, 10);
  bool scrolls = table.count > rows;
  int list_width = std::max(longest + (scrolls ? 1 : 0), kMinListWidth);
  list_width = std::min(list_width, std::max(screen.cols - 6, 20));
  int width = list_width + 4;
  SetRect({0, 0, width, rows + 7});
  Center(screen);

  Add<tk::Text>(tk::Rect{1, 0, list_width, 1}, "Select your 3270 emulator from the list below.");
  list_ = &Add<tk::ListBox>(tk::Rect{1, 1, list_width, rows}, scrolls);
  for (int k = 0; k < table.count; ++k) list_->AddItem(table.records[k].description);
  list_->select_command = kCmdSelect;
  list_->choose_command = kCmdChoose;

  Add<tk::Label>(tk::Rect{1, rows + 2, 9, 1}, "&Use DLL:");
  field_ = &Add<tk::TextField>(tk::Rect{11, rows + 2, kFieldLength + 1, 1}, kFieldLength);
  field_->SetCommand(kCmdTyped);

  // Four buttons of 13 cells with a gap of 2, centred.
  int left = std::max((list_width + 2 - (4 * 13 + 3 * 2)) / 2, 0);
  int y = rows + 4;
  Add<tk::Button>(tk::Rect{left, y, 13, 1}, "&Auto Config", kCmdAutoConfig);
  Add<tk::Button>(tk::Rect{left + 15, y, 13, 1}, "&Ok", tk::cmd::kOk);
  Add<tk::Button>(tk::Rect{left + 30, y, 13, 1}, "Cancel", tk::cmd::kCancel);
  Add<tk::Button>(tk::Rect{left + 45, y, 13, 1}, "&Help", tk::cmd::kHelp);
  // The user is told to choose from the list: it has the focus, on the
  // adapter the settings name now.
  configurator_.SelectConfigured();
  ShowSelection();
  SetFocus(list_);
}

bool ConfigDialog::Run() {
  wm_.Add(*this);
  if (!notice_.empty()) Post(tk::Event::Command(kCmdNotice));
  int code = wm_.RunModal(*this, {tk::cmd::kOk, tk::cmd::kCloseModal});
  wm_.Remove(*this);
  return code == tk::cmd::kOk;
}

void ConfigDialog::ShowSelection() {
  int index = configurator_.Selected();
  list_->SetSelected(index);
  if (index >= 0) field_->SetText(configurator_.GetTable().records[index].adapter);
}

int ConfigDialog::Ok() {
  return configurator_.Ok(field_->GetText()) == Configurator::Outcome::kClose ? tk::cmd::kOk : 0;
}

int ConfigDialog::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return Window::HandleEvent(e);
  switch (e.code) {
    case kCmdSelect:
      configurator_.Select(e.param);
      ShowSelection();
      return 0;
    case kCmdChoose:
      configurator_.Select(e.param);
      ShowSelection();
      return Ok();
    case kCmdTyped:
      // A name typed into the field is the one used: the list lets go.
      configurator_.Select(-1);
      list_->SetSelected(-1);
      return 0;
    case tk::cmd::kOk: return Ok();
    case kCmdAutoConfig: {
      Configurator::AutoResult r = configurator_.AutoConfig();
      if (r.fill_field) {
        list_->SetSelected(configurator_.Selected());
        field_->SetText(r.field);
      }
      return r.outcome == Configurator::Outcome::kClose ? tk::cmd::kOk : 0;
    }
    case tk::cmd::kHelp: ShowInformation(wm_, messages_.MessageLinesJoined("HALP")); return 0;
    case kCmdNotice: ShowInformation(wm_, notice_); return 0;
    default: return Window::HandleEvent(e);
  }
}

}  // namespace config
