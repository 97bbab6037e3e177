#include "client/engine/printer_selection.h"

#include <cstdio>
#include <cstring>

#include "common/trace.h"
#include "platform/print/printer_profile.h"

namespace client {

void Printing::SetPrinterName(const char* name) {
  snprintf(selection.printer_name, sizeof selection.printer_name, "%s", name ? name : "");
}

const common::Tracer& Printing::Trace() const {
  static const common::Tracer kOff;
  return tracer ? *tracer : kOff;
}

void Printing::ShowMessage(const char* text) {
  PrintServices& s = services;
  if (s.unattended && s.unattended()) {
    if (s.show_status) s.show_status(text);
  } else if (s.show_message) {
    s.show_message(text);
  }
}

std::string DefaultPrinterName() {
  char device[80];
  platform::PrinterProfile profile = platform::LoadPrinterProfile();
  platform::GetProfileString(profile, "windows", "device", ",,,", device, sizeof device);
  if (char* comma = strchr(device, ',')) *comma = '\0';
  return device;
}

std::unique_ptr<platform::PrintDevice> CreatePrinterDC(const PrinterSelection& s,
                                                       const common::Tracer& trace) {
  char value[80];
  platform::PrinterProfile profile = platform::LoadPrinterProfile();
  size_t n =
      platform::GetProfileString(profile, "devices", s.printer_name, ",,,", value, sizeof value);
  std::string driver, port;
  platform::SplitDriverAndPort(value, &driver, &port);
  // A value that filled the read buffer may have lost the end of its port (a
  // long PDF file path): let the device layer read the whole entry instead.
  if (n >= sizeof value - 1) driver.clear(), port.clear();
  trace.Write("PRINTER:printsetup", s.printer_name);
  std::unique_ptr<platform::PrintDevice> device = platform::CreatePrintDevice(
      driver.c_str(), s.printer_name, port.c_str(), s.printer_devmode.get());
  if (trace.On()) {
    char text[32];
    snprintf(text, sizeof text, "hdc=%08X", device ? device->Handle() : 0u);
    trace.Write("printsetup", text);
  }
  return device;
}

}  // namespace client
