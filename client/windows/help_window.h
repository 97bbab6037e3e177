// Help from the message file: a topic window showing one text, and an index
// window listing the titled topics. Both modal; topic and index may nest.
#pragma once

#include <string>

#include "client/engine/interface_texts.h"
#include "common/message_file.h"
#include "toolkit/window_manager.h"

namespace client::windows {

struct HelpContext {
  tk::WindowManager& wm;
  common::MessageFile& messages;
  const InterfaceTexts& texts;
  std::string program_title = "QORPRTW";
  bool index_open = false;
};

void ShowHelp(HelpContext& help, const char* key);
void ShowHelpIndex(HelpContext& help);

// The window size for rows of text, in cells: {width, height}.
struct HelpSize {
  int width, height;
};
HelpSize HelpWindowSize(int widest_row, int rows, bool has_marked_lines, int screen_cols);

}  // namespace client::windows
