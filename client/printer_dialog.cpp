#include "client/printer_dialog.h"

#include "client/client_app.h"
#include "client/printer_selection.h"

// Until the dialog's window is built: the default printer with the current
// settings, as OK without changes would give.
std::unique_ptr<platform::PrintDevice> RunPrinterDialog(ClientApp&) {
  SetPrinterName(DefaultPrinterName().c_str());
  return CreatePrinterDC();
}
