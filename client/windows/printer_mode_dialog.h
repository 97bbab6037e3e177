// MODE: a printer's settings (paper, orientation, sides, copies) in a dialog
// of what the printer offers; the result is the selection's printer_devmode.
#pragma once

#include <string>

#include "client/windows/window_context.h"
#include "platform/print/print_device_mode.h"
#include "toolkit/window_manager.h"

namespace client::windows {

// Shows the options caps offers for printer, starting from *mode. OK writes
// the choices into *mode and returns true; a cancelled dialog leaves *mode.
bool RunModeDialog(tk::WindowManager& wm, const InterfaceTexts& texts, const std::string& printer,
                   const platform::DeviceCapabilities& caps, platform::DeviceMode* mode);

// The MODE action for a printer: its current default settings become
// printer_devmode, then the dialog edits them (so each press starts from the
// printer's defaults, and a cancelled dialog leaves those defaults). Failures
// are shown in a message dialog titled "ZEZUVODU" and leave the selection
// as it was before the failing step.
void EditPrinterMode(PrinterSetup& setup, const char* printer_name);

// A media name as the dialog shows it: "A4 210x297mm" for iso_a4_210x297mm;
// names of another shape are shown as they are.
std::string MediaLabel(const std::string& media);

}  // namespace client::windows
