// Unattended operation: choices made once in AUT_WINDOW, then a look at the
// host screen every poll period, taking every job found there.
#pragma once

#include <string>

#include "toolkit/static_text.h"
#include "toolkit/window.h"

struct ClientApp;

class AUT_WINDOW : public tk::Window {
 public:
  static constexpr int kWidth = 50, kHeight = 13;
  explicit AUT_WINDOW(ClientApp& app);
  int HandleEvent(const tk::Event& e) override;

 private:
  ClientApp& app_;
  tk::Text* path_text_;
};

// A poll is made once more than this many whole seconds have passed since
// the last one (15; tests shorten it).
int& UnattendedPollSeconds();

// -1 the printer could not be set up, 0 the dialog was cancelled, 10014
// when polling has ended (program end or a Cancel command).
int UnattendedOperation();
// One look at the host screen; a job header found there is taken. 10001.
int PollHostForJob();
// Runs the job announced by a header screen with the unattended choices.
void RunUnattendedJob(const char* screen, size_t length);
