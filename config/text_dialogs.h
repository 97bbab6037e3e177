// The configuration program's small windows, all titled "QORCNFIG": the
// message box for short notices, the information dialog and the yes/no
// dialog. The information and yes/no dialogs show their text as rows in a
// list (split at line feeds and after 80 characters), at most 15 rows at a
// time; the list scrolls for the rest.
#pragma once

#include <string>

#include "toolkit/window_manager.h"

namespace config {

inline constexpr char kConfigCaption[] = "QORCNFIG";

void ShowMessageBox(tk::WindowManager& wm, const std::string& text);
void ShowInformation(tk::WindowManager& wm, const std::string& text);
// 6 for YES; 7 for NO, closing the window or a program-end request.
int AskYesNo(tk::WindowManager& wm, const std::string& text);

// The about box of the main window's Help menu.
void ShowAboutBox(tk::WindowManager& wm);

}  // namespace config
