// Printing on a system that has no print back-end in this build: no printer
// is listed and none can be opened, so a job for the printer fails the way a
// missing printer does, and files are the only destination.
#include "platform/print_device.h"
#include "platform/print_device_mode.h"
#include "platform/print_fonts.h"
#include "platform/printer_profile.h"

namespace platform {

PrinterProfile PrinterProfileFromCups() { return PrinterProfile(); }

std::unique_ptr<PrintDevice> CreatePrintDevice(const char*, const char*, const char*, const DeviceMode*) {
  return nullptr;
}

bool QueryDeviceCapabilities(const std::string&, DeviceCapabilities*) { return false; }

std::vector<std::string> ListFontFamilies() { return {}; }

}  // namespace platform
