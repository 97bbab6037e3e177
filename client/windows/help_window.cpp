#include "client/windows/help_window.h"

#include <algorithm>
#include <vector>

#include "client/engine/interface_texts.h"
#include "common/message_file.h"
#include "toolkit/list_box.h"
#include "toolkit/utf8.h"

namespace client::windows {

namespace {

constexpr int kExitCommand = 19000;
constexpr int kGeneralCommand = 19110;
constexpr int kIndexCommand = 19120;
constexpr int kFirstIndexRow = 19200;
constexpr int kTopicColumns = 68;

class HelpWindow : public tk::Window {
 public:
  HelpWindow(HelpContext& help, tk::Rect rect, std::string title)
      : tk::Window(rect, std::move(title)), help_(help) {}

  int HandleEvent(const tk::Event& e) override {
    if (e.kind == tk::EventKind::kCommand) {
      if (e.code == kExitCommand) return tk::cmd::kCloseModal;
      if (e.code == kGeneralCommand) {
        ShowHelp(help_, "GENERAL");
        return 0;
      }
      if (e.code == kIndexCommand) {
        if (!help_.index_open) ShowHelpIndex(help_);
        return 0;
      }
      if (e.code >= kFirstIndexRow && e.code < kFirstIndexRow + static_cast<int>(keys.size())) {
        ShowHelp(help_, keys[static_cast<size_t>(e.code - kFirstIndexRow)].c_str());
        return 0;
      }
    }
    return tk::Window::HandleEvent(e);
  }

  std::vector<std::string> keys;  // the index rows' topics

 private:
  HelpContext& help_;
};

void RunHelpWindow(HelpContext& help, const std::string& title,
                   const std::vector<std::string>& rows, bool marked, bool is_index,
                   std::vector<std::string> keys) {
  int widest = 0;
  for (const auto& r : rows) widest = std::max(widest, tk::TextCells(r));
  tk::Size screen = help.wm.ScreenSize();
  HelpSize size = HelpWindowSize(widest, static_cast<int>(rows.size()), marked, screen.cols);
  HelpWindow window(help, tk::Rect{0, 0, size.width, size.height}, title);
  window.keys = std::move(keys);
  tk::MenuBar& menu = window.GetMenuBar();
  menu.AddCommand(help.texts("EXIT"), kExitCommand);
  if (!help.index_open) menu.AddCommand("&Index", kIndexCommand);
  // Inside the frame and below the menu bar.
  tk::Rect list_rect{0, 0, size.width - 2, std::max(1, size.height - 3)};
  auto& list = window.Add<tk::ListBox>(list_rect);
  for (const auto& r : rows) list.AddItem(r);
  if (is_index) {
    list.choose_command = kFirstIndexRow;
    list.add_index = true;
    if (!rows.empty()) list.SetSelected(0);
  } else {
    list.selectable = false;
  }
  window.Center(screen);
  help.wm.RunModal(window, {tk::cmd::kCloseModal});
}

}  // namespace

HelpSize HelpWindowSize(int widest_row, int rows, bool has_marked_lines, int screen_cols) {
  // Widest row, 25 more when marked lines are shown, 30 of margin, at most 80;
  // the frame adds 2. Never wider than the screen.
  int width = std::min(widest_row + (has_marked_lines ? 25 : 0) + 30, 80) + 2;
  width = std::min(width, std::max(screen_cols, 20));
  // rows - rows/8, at most 18; never less than the frame, the menu and one row.
  int height = std::min(rows - rows / 8, 18);
  height = std::max(height, 4);
  return {width, height};
}

void ShowHelp(HelpContext& help, const char* key) {
  std::vector<std::string> rows;
  bool marked = false;
  if (help.messages.MessageFind(key) == 0) {
    rows.push_back(help.texts("NOHELP"));
  } else {
    for (std::string line : help.messages.MessageLines(key)) {
      if (!line.empty() && line[0] == '%') {
        line.erase(0, 1);
        marked = true;
      }
      rows.push_back(line.substr(0, kTopicColumns));
    }
  }
  RunHelpWindow(help, help.program_title + " HELP", rows, marked, false, {});
}

void ShowHelpIndex(HelpContext& help) {
  help.index_open = true;
  std::vector<std::string> rows, keys;
  for (const common::MessageFile::IndexEntry& entry : help.messages.IndexEntries()) {
    if (entry.title.empty() || entry.title[0] == '@') continue;
    rows.push_back(entry.title);
    keys.push_back(entry.key.substr(0, 32));
  }
  RunHelpWindow(help, help.program_title + help.texts("HELPIXTITLE"), rows, false, true,
                std::move(keys));
  help.index_open = false;
}

}  // namespace client::windows
