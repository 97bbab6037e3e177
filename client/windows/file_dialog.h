// FileWindow: the client's modal chooser of a file or a directory. It moves the process's current
// directory as the user walks and leaves it there.
#pragma once

#include <string>

#include "client/windows/window_context.h"
#include "toolkit/commands.h"
#include "toolkit/list_box.h"
#include "toolkit/text_field.h"
#include "toolkit/window.h"

namespace client::windows {

enum class FileChoice { kFile, kDirectory };

namespace filecmd {
constexpr int kDrive = 10101, kDirectory = 10102, kFileName = 10103, kFileChosen = 20103;
constexpr int kAccepted = tk::cmd::kCloseModal;  // the chooser took a name
}  // namespace filecmd

class FileWindow : public tk::Window {
 public:
  static constexpr int kWidth = 70, kHeight = 17;
  static constexpr size_t kResultMax = 127;  // the 128-byte result buffer

  // start: a path whose part after the last '/' is the file name or pattern;
  // null: the current directory and "*.*". last_name is the name last typed
  // in any file dialog of the run.
  FileWindow(DialogKit& ui, std::string& last_name, const std::string& title, FileChoice mode,
             const char* start);
  int HandleEvent(const tk::Event& e) override;
  const std::string& GetResult() const { return result_; }

  // Lists the directory again (after a drive, directory or pattern change).
  void Refill(int cause, const std::string& chosen = {});
  tk::ListBox& Directories() { return *dirs_; }
  tk::ListBox* Files() { return files_; }
  tk::TextField& PathField() { return *path_; }
  tk::TextField* NameField() { return name_; }

 private:
  DialogKit& ui_;
  std::string& last_name_;
  FileChoice mode_;
  std::string stored_dir_;
  std::string result_;
  tk::TextField* name_ = nullptr;
  tk::TextField* path_;
  tk::ListBox* drives_;
  tk::ListBox* dirs_;
  tk::ListBox* files_ = nullptr;
};

// The file or directory the user accepted, as a path ending in the file name
// or pattern; false when cancelled. A directory choice ends in the name last
// typed in any file dialog of the run (last_name).
bool RunFileDialog(DialogKit& ui, std::string& last_name, const std::string& title, FileChoice mode,
                   const char* start, std::string* result);

}  // namespace client::windows
