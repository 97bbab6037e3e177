// PRTR_WINDOW: the printer selection dialog with its MODE (driver settings)
// and FONT actions.
#pragma once

#include <memory>

#include "platform/print_device.h"

struct ClientApp;

// Runs the dialog (the default printer preselected each time). Returns a
// device for the chosen printer, or null when the user cancelled.
std::unique_ptr<platform::PrintDevice> RunPrinterDialog(ClientApp& app);

// Points the print jobs' services at the running client: its transfer log,
// message dialog, status line and unattended flag.
void InstallPrintServices(ClientApp& app);
