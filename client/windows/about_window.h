// BMP_WINDOW: the start-up and about window.
#pragma once

struct ClientApp;

// From the menu the window waits for OK. At start-up it waits (and then the
// introduction opens) only on a first run; otherwise it stays two seconds.
void RunAboutWindow(ClientApp& app, const char* bitmap, bool from_menu);
