#include "client/printer_dialog.h"

#include "client/client_app.h"
#include "client/main_window.h"
#include "client/printer_selection.h"

// Until the dialog's window is built: the default printer with the current
// settings, as OK without changes would give.
std::unique_ptr<platform::PrintDevice> RunPrinterDialog(ClientApp&) {
  SetPrinterName(DefaultPrinterName().c_str());
  return CreatePrinterDC();
}

void InstallPrintServices(ClientApp& app) {
  PrintServices& print = ThePrintServices();
  print.add_status_text = [&app](const char* text) {
    if (app.services.add_status_text) app.services.add_status_text(text);
  };
  print.show_message = [](const char* text) { ShowDialog(text, "", 0); };
  print.show_status = [&app](const char* text) {
    if (app.main_window) app.main_window->SetStatus(text);
  };
  print.unattended = [&app] { return app.state.unattended_active; };
  print.document_base = app.state.program_name;
}
