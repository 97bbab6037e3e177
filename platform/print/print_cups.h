// CUPS destinations as printers: devices that submit each document as one
// job, and what a destination supports.
#pragma once

#include <memory>
#include <string>

#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"

namespace platform {

// A device for a CUPS destination ("name" or "name/instance"), or null when
// CUPS does not know it. Each document becomes one job titled with the
// document's name.
std::unique_ptr<PrintDevice> CreateCupsDevice(const std::string& destination,
                                              const DeviceMode* mode);

bool QueryCupsCapabilities(const std::string& destination, DeviceCapabilities* caps);

// The pdf driver offers the common sheets, both orientations, one side, one copy.
void PdfFileCapabilities(DeviceCapabilities* caps);

}  // namespace platform
