// The printer list from the spooler: its local printers and connections,
// each with the driver and port the system's own "devices" profile gives.
#include <vector>

#include "platform/print/printer_profile.h"
#include "platform/win32/printing_api.h"

namespace platform {

namespace {

// The spooler's printers at level 2. The list may grow between the size
// query and the read: then it is asked again.
std::vector<PRINTER_INFO_2A> EnumeratePrinters(std::vector<BYTE>* storage) {
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    storage->resize(needed ? needed : 1);
    if (EnumPrintersA(flags, nullptr, 2, storage->data(), static_cast<DWORD>(storage->size()),
                      &needed, &count)) {
      const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(storage->data());
      return std::vector<PRINTER_INFO_2A>(info, info + count);
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  return {};
}

std::string ProfileValue(const char* section, const char* key) {
  char value[512];
  GetProfileStringA(section, key, "", value, sizeof value);
  return value;
}

std::string DefaultPrinter() {
  DWORD size = 0;
  GetDefaultPrinterA(nullptr, &size);
  if (size > 0) {
    std::vector<char> name(size);
    if (GetDefaultPrinterA(name.data(), &size)) return name.data();
  }
  // Without the spooler's answer, the profile's "NAME,DRIVER,PORT".
  std::string device = ProfileValue("windows", "device");
  return device.substr(0, device.find(','));
}

}  // namespace

PrinterProfile SystemPrinterProfile() {
  PrinterProfile profile;
  std::vector<BYTE> storage;
  for (const PRINTER_INFO_2A& info : EnumeratePrinters(&storage)) {
    if (!info.pPrinterName || !*info.pPrinterName) continue;
    PrinterEntry e;
    e.name = info.pPrinterName;
    std::string value = ProfileValue("devices", e.name.c_str());
    if (!value.empty()) {
      SplitDriverAndPort(value, &e.driver, &e.port);
    } else {
      // A connection the profile does not list: the spooler's own driver.
      e.driver = "winspool";
      e.port = info.pPortName ? info.pPortName : "";
    }
    profile.devices.push_back(e);
  }
  if (profile.devices.empty())
    profile.empty_reason =
        "Windows lists no printers: none is installed, or the spooler is not running.";
  std::string name = DefaultPrinter();
  if (const PrinterEntry* e = name.empty() ? nullptr : FindPrinter(profile, name))
    profile.default_device = e->name + "," + e->driver + "," + e->port;
  return profile;
}

}  // namespace platform
