// The printer selection dialog with its MODE (driver settings)
// and FONT actions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/windows/window_context.h"
#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"

namespace client::windows {

// Event values of the dialog.
namespace printer_dialog {
constexpr int kFont = 20010;
constexpr int kMode = 20020;
constexpr int kFirstPrinter = 20100;  // list entry k answers kFirstPrinter + k
}  // namespace printer_dialog

// Runs the dialog (the default printer preselected each time). Returns a
// device for the chosen printer, or null when the user cancelled (Cancel,
// a close request or the program-end request).
std::unique_ptr<platform::PrintDevice> RunPrinterDialog(PrinterSetup& setup);

// The printers the dialog lists: the "devices" entries in their order.
// Names longer than the selection can hold are left out: picking one could
// never find the printer again. When none is left, empty_reason (if given)
// says why: no print server reachable, no printers defined, and so on.
std::vector<std::string> ListedPrinterNames(std::string* empty_reason = nullptr);

}  // namespace client::windows
