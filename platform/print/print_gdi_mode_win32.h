// The device-mode block on Windows: the driver's DEVMODE, read with
// DocumentProperties, and its paper, orientation, sides and copies seen as
// the DeviceMode the MODE dialog edits.
#pragma once

#include <string>
#include <vector>

#include "platform/print/print_device_mode.h"
#include "platform/win32/printing_api.h"

namespace platform {

// The mode's fields written into dm (and flagged in dmFields); empty or
// unknown fields leave the driver's values alone.
void ApplyDeviceMode(const DeviceMode& mode, DEVMODEA* dm);

// What dm says of the four fields; a paper the list does not know, or a
// field the driver does not report, stays empty.
DeviceMode DeviceModeFromDevmode(const DEVMODEA& dm);

// The IPP media name of a DMPAPER_* code, and back; empty and 0 when unknown.
std::string MediaOfPaper(int paper);
int PaperOfMedia(const std::string& media);

// The printer's DEVMODE (driver and private part, as DocumentProperties
// sizes it) with mode applied and checked by the driver; empty when the
// printer cannot be opened or the driver gives none.
std::vector<char> PrinterDevmode(const std::string& printer, const DeviceMode* mode);

}  // namespace platform
