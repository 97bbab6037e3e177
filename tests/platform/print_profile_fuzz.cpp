// The printer profile file and the device-mode text come from outside: any
// bytes must parse without reading or writing past a buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/print/print_device_mode.h"
#include "platform/print/printer_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  platform::PrinterProfile profile = platform::ParsePrinterProfile(text);
  char small[7], large[2048];
  platform::GetProfileString(profile, "devices", nullptr, "", small, sizeof small);
  platform::GetProfileString(profile, "devices", nullptr, "", large, sizeof large);
  platform::GetProfileString(profile, "windows", "device", ",,,", small, sizeof small);
  for (const platform::PrinterEntry& e : profile.devices)
    platform::GetProfileString(profile, "devices", e.name.c_str(), ",,,", small, sizeof small);
  platform::DeviceMode mode;
  if (platform::ParseDeviceMode(text, &mode)) {
    platform::DeviceMode again;
    if (!platform::ParseDeviceMode(platform::SerializeDeviceMode(mode), &again) || !(again == mode))
      __builtin_trap();
  }
  int w, h;
  platform::MediaSize(text, &w, &h);
  return 0;
}
