#include "client/windows/file_dialog.h"

#include <unistd.h>

#include "client/windows/help_window.h"
#include "common/file_directory.h"
#include "platform/paths.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"

namespace client::windows {

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string PatternIn(const std::string& dir, const std::string& pattern) {
  return dir +
         (dir.empty() || !platform::IsPathSeparator(dir.back())
              ? std::string(1, platform::kPathSeparator)
              : "") +
         pattern;
}

}  // namespace

FileWindow::FileWindow(DialogKit& ui, std::string& last_name, const std::string& title,
                       FileChoice mode, const char* start)
    : tk::Window({0, 0, kWidth, kHeight}, title), ui_(ui), last_name_(last_name), mode_(mode) {
  Center(ui.wm.ScreenSize());
  std::string start_path = start ? start : PatternIn(platform::CurrentDirectory(), "*.*");
  std::string initial_name;
  size_t sep = platform::LastSeparator(start_path);
  if (sep == std::string::npos) {
    stored_dir_ = platform::CurrentDirectory();
    initial_name = start_path.empty() ? "*.*" : start_path;
  } else {
    stored_dir_ = platform::ChooserDirectory(start_path);
    initial_name = start_path.substr(sep + 1);
  }
  if (::chdir(stored_dir_.c_str()) != 0) stored_dir_ = platform::CurrentDirectory();

  if (mode_ == FileChoice::kFile) {
    Add<tk::Label>(tk::Rect{1, 1, 12, 1}, ui.texts("FILENAME"));
    name_ = &Add<tk::TextField>(tk::Rect{14, 1, 50, 1}, 128);
    name_->SetText(initial_name);
    name_->SetCommand(filecmd::kFileName);
  }
  Add<tk::Label>(tk::Rect{1, 2, 12, 1}, ui.texts("PATH"));
  path_ = &Add<tk::TextField>(tk::Rect{14, 2, 50, 1}, 128);
  Add<tk::Label>(tk::Rect{1, 3, 8, 1}, ui.texts("DRIVES"));
  drives_ = &Add<tk::ListBox>(tk::Rect{1, 4, 8, 9});
  for (const std::string& root : platform::DriveRoots()) drives_->AddItem(root);
  drives_->choose_command = filecmd::kDrive;
  Add<tk::Label>(tk::Rect{9, 3, 24, 1}, ui.texts("DIRECTORYS"));
  dirs_ = &Add<tk::ListBox>(tk::Rect{11, 4, 24, 9});
  dirs_->choose_command = filecmd::kDirectory;
  if (mode_ == FileChoice::kFile) {
    Add<tk::Label>(tk::Rect{37, 3, 26, 1}, ui.texts("FILES"));
    files_ = &Add<tk::ListBox>(tk::Rect{37, 4, 26, 9});
    files_->select_command = filecmd::kFileName;
    files_->choose_command = filecmd::kFileChosen;
  }
  Add<tk::Button>(tk::Rect{2, 14, 10, 1}, ui.texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{14, 14, 10, 1}, ui.texts("CANCEL"), cmd::kCancel);
  Add<tk::Button>(tk::Rect{26, 14, 10, 1}, ui.texts("HELP"), cmd::kHelp);
  cancel_closes = false;
  Refill(0);
}

void FileWindow::Refill(int cause, const std::string& chosen) {
  if (cause == filecmd::kDrive) {
    // The drive's current directory becomes the process's (Linux has one root).
    platform::ChangeDrive(chosen);
    stored_dir_ = platform::CurrentDirectory();
  } else if (cause == filecmd::kDirectory) {
    if (::chdir(chosen.c_str()) == 0) stored_dir_ = platform::CurrentDirectory();
  }
  // Names on disk keep their case: the path and the entries are shown as they are.
  path_->SetText(stored_dir_);
  dirs_->Clear();
  common::FileDirectory dirs(PatternIn(stored_dir_, "*.*").c_str(), 0xC000);
  while (const char* name = dirs.Next()) dirs_->AddItem(name);
  if (files_) {
    files_->Clear();
    std::string typed = name_->GetText();
    std::string pattern = HasWildcard(typed) ? typed : "*.*";
    common::FileDirectory files(PatternIn(stored_dir_, pattern).c_str(), 0);
    while (const char* name = files.Next()) files_->AddItem(name);
  }
  if (Manager()) Manager()->Redraw();
}

int FileWindow::HandleEvent(const tk::Event& e) {
  if (e.kind == tk::EventKind::kClose) {
    result_.clear();
    return cmd::kCancel;
  }
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  switch (e.code) {
    case filecmd::kDrive:
    case filecmd::kDirectory: Refill(e.code, e.text); return 0;
    case filecmd::kFileName:
      if (name_ && e.target == Id() && name_->GetText() != e.text) name_->SetText(e.text);
      last_name_ = e.text;
      if (!e.text.empty() && e.text[0] == '*') Refill(0);
      return 0;
    case filecmd::kFileChosen:
      if (name_) name_->SetText(e.text);
      [[fallthrough]];
    case cmd::kOk: {
      std::string path = path_->GetText();
      std::string name = name_ ? name_->GetText() : last_name_;
      if (name.empty()) name = "*.*";
      std::string result = PatternIn(path, name);
      if (result.size() > kResultMax) {  // would not fit: refuse rather than cut
        Beep();
        return 0;
      }
      last_name_ = name;
      result_ = result;
      return filecmd::kAccepted;
    }
    case cmd::kCancel: result_.clear(); return cmd::kCancel;
    case cmd::kHelp: ShowHelp(ui_.help, "FILEHELP"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

bool RunFileDialog(DialogKit& ui, std::string& last_name, const std::string& title, FileChoice mode,
                   const char* start, std::string* result) {
  int answer;
  std::string chosen;
  {
    FileWindow dialog(ui, last_name, title, mode, start);
    answer = ui.wm.RunModal(dialog, {filecmd::kAccepted, cmd::kCancel});
    chosen = dialog.GetResult();
  }
  ui.wm.Redraw();
  if (answer != filecmd::kAccepted || chosen.empty()) return false;
  if (result) *result = chosen;
  return true;
}

}  // namespace client::windows
