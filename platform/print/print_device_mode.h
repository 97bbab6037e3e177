// The device-mode block: a destination's job options kept as text, so the
// client can hold it as an opaque block and hand it back to the device.
//
// Text form: blank-separated NAME=VALUE pairs, e.g.
//   media=iso_a4_210x297mm orientation=portrait sides=one-sided copies=1
// Only the four names below are kept; an empty value means "the
// destination's default".
#pragma once

#include <string>
#include <vector>

namespace platform {

struct DeviceMode {
  std::string media;        // IPP media name (iso_a4_210x297mm, na_letter_8.5x11in, ...)
  std::string orientation;  // "portrait" or "landscape"
  std::string sides;        // one-sided, two-sided-long-edge, two-sided-short-edge
  int copies = 0;           // 1..999; 0 = default

  bool operator==(const DeviceMode&) const = default;
};

std::string SerializeDeviceMode(const DeviceMode& mode);

// Parses the text form. Unknown names are skipped; a malformed pair, an
// unknown orientation or sides value, or copies outside 1..999 make the
// whole text refused (false, *mode untouched).
bool ParseDeviceMode(const std::string& text, DeviceMode* mode);

// What a destination offers, for the MODE dialog.
struct DeviceCapabilities {
  std::vector<std::string> media;
  std::vector<std::string> orientations;
  std::vector<std::string> sides;
  int max_copies = 1;
  DeviceMode defaults;
};

// The capabilities of a printer of the printer list (null mode fields are
// filled with the defaults). False when the printer is unknown.
bool QueryDeviceCapabilities(const std::string& printer_name, DeviceCapabilities* caps);

// Page geometry in device units (1/600 inch): full sheet and the margins
// that bound the printable area.
struct PageGeometry {
  int width = 0, height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
  int PrintableWidth() const { return width - left - right; }
  int PrintableHeight() const { return height - top - bottom; }
};

// The sheet size of an IPP media name (or the common names A4, Letter,
// Legal, A3, A5); false when unknown.
bool MediaSize(const std::string& media, int* width, int* height);

// A4 or Letter as the locale's paper size says.
std::string LocaleDefaultMedia();

// Sheet of the mode's media (or the fallback), turned for landscape, with
// the given margins.
PageGeometry GeometryFor(const DeviceMode* mode, const std::string& fallback_media, int margin);

}  // namespace platform
