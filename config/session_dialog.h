// The session-line dialog offered after a confirmed choice: shows session A's
// line of the sessions file as it is now and writes a new one (s3270 with
// HOST:PORT, an emulator's script port, or the built-in host with its spool
// directory), keeping every other line of the file; only the kinds that work
// on the system are offered. An s3270 session also takes TLS (with or without checking the host's
// certificate, and a CA file), an LU name, the host code page and the terminal model. A line that
// cannot be used is refused in a message box and nothing is written.
#pragma once

#include <string>
#include <vector>

#include "config/sessions_file.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"
#include "toolkit/window_manager.h"

namespace config {

class SessionDialog : public tk::Window {
 public:
  static constexpr int kCmdS3270 = 20101;
  static constexpr int kCmdScript = 20102;
  static constexpr int kCmdSim = 20103;
  static constexpr int kCmdTls = 20104;
  static constexpr int kCmdVerify = 20105;
  static constexpr int kCmdCodePage = 20106;
  static constexpr int kCmdModel = 20107;
  static constexpr char kLetter = 'A';

  // explanation: the "SESSW95" text (may be empty); path: the sessions file.
  SessionDialog(tk::WindowManager& wm, const std::string& explanation, const std::string& path);

  // Runs the dialog modally; true when the line was written.
  bool Run();
  int HandleEvent(const tk::Event& e) override;

 private:
  int Write();
  int Refuse(const std::string& reason, tk::Control* field);
  void AddS3270Fields(int& y, int inner);
  void ShowKind(common::SessionKind kind);
  void ShowLine(const std::string& now);
  void ShowS3270Choices(const S3270Choices& choices);

  tk::WindowManager& wm_;
  std::string path_;
  SessionsFileText file_;
  const std::vector<common::SessionKind> kinds_offered_ = common::OfferedSessionKinds();
  common::SessionKind kind_ = kinds_offered_.front();
  tk::RadioGroup* kinds_ = nullptr;
  tk::TextField* where_ = nullptr;
  tk::CheckBox* tls_ = nullptr;  // this and the next five: only where s3270 is offered
  tk::CheckBox* verify_ = nullptr;
  tk::TextField* cafile_ = nullptr;
  tk::TextField* lu_ = nullptr;
  tk::DropDownList* codepage_ = nullptr;  // first entry: the emulator's default
  tk::DropDownList* model_ = nullptr;
  tk::Text* hint_ = nullptr;
  tk::StatusLine* status_ = nullptr;
};

// Shows the dialog for the sessions file of common::SessionsFilePath().
bool OfferSessionLine(tk::WindowManager& wm, const std::string& explanation);

}  // namespace config
