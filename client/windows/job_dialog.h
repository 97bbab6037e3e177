// The job dialog JobDialog and the interactive command that leads to it.
#pragma once

#include <string>

#include "client/windows/window_context.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"
#include "toolkit/window.h"

namespace client::windows {

class JobDialog : public tk::Window {
 public:
  static constexpr int kWidth = 50, kHeight = 17;
  explicit JobDialog(TransferWork& work);
  int HandleEvent(const tk::Event& e) override;
  // The dialog's copies, taken over only on OK.
  const std::string& Directory() const { return directory_; }
  const std::string& FileName() const { return file_name_; }

 private:
  void ShowPath();
  TransferWork& work_;
  std::string directory_, file_name_;
  tk::Text* name_text_;
  tk::Text* path_text_;
  tk::TextField* command_field_;
};

// Command IMMEDIATE (F6): 0 nothing transferred, 1 a job ran, -1 the print
// job could not be opened.
int ImmediateTransfer(TransferWork& work);
// The dialog and, on OK, the job: 0 cancelled or refused, -1 no print job,
// else the download step's result.
int RunJobDialog(TransferWork& work);

}  // namespace client::windows
