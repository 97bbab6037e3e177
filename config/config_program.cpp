#include "config/config_program.h"

#include "common/message_file.h"
#include "config/main_window.h"
#include "config/text_dialogs.h"
#include "toolkit/event_queue.h"
#include "toolkit/window_manager.h"

namespace config {

int RunConfigProgram(tk::Display& display, const CommandFlags& flags,
                     const std::string& program_dir) {
  tk::EventQueue queue(&display);
  tk::WindowManager wm(display, queue);

  common::MessageFile messages([&wm](const char* text) { ShowMessageBox(wm, text); });
  std::string path = program_dir + "QORCNFIG.QOR";
  if (messages.MessageFileOpen(path.c_str()) != 1) return kExitNoMessageFile;

  ConfigMainWindow main_window(wm, messages, flags);
  wm.Add(main_window);
  // The dialog opens at once, as if chosen from the menu.
  main_window.Post(tk::Event::Command(ConfigMainWindow::kCmdSettings));
  wm.Run();
  wm.Remove(main_window);
  return main_window.ExitCode();
}

}  // namespace config
