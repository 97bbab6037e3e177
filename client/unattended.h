// Unattended operation: choices made once in UnattendedDialog, then a look at the
// host screen every poll period, taking every job found there.
#pragma once

#include <string>

#include "toolkit/static_text.h"
#include "toolkit/window.h"

struct ClientApp;

class UnattendedDialog : public tk::Window {
 public:
  static constexpr int kWidth = 50, kHeight = 13;
  explicit UnattendedDialog(ClientApp& app);
  int HandleEvent(const tk::Event& e) override;

 private:
  ClientApp& app_;
  tk::Text* path_text_;
};

// -1 the printer could not be set up, 0 the dialog was cancelled, 10014
// when polling has ended (program end or a Cancel command).
int UnattendedOperation(ClientApp& app);
enum class UnattendedLook { kNothing, kJobTaken, kJobRefused, kNoSession };
class SessionWatch;
// One look at the host screen (opening the session when it is not open); a
// job header found there is taken. watch, when given, hears whether the
// session was there.
UnattendedLook LookForJob(ClientApp& app, SessionWatch* watch = nullptr);
int PollHostForJob(ClientApp& app);  // LookForJob; 10001
// Runs the job announced by a header screen with the unattended choices: the
// result of the download (1 ran, 0 refused), 0 for a header of another level.
int RunUnattendedJob(ClientApp& app, const char* screen, size_t length);
