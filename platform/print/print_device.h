// Print devices: the one interface through which printed text reaches a page.
//
// A device stands for one printer device context. A document is started
// with a name, pages are begun and ended, text runs are drawn at positions
// in device units of 1/600 inch measured from the top-left corner of the
// printable area (y is the top of the text line). Releasing the device is
// destroying it.
//
// Results follow the printer calls the client was written against: document
// start answers a positive value or -1 (LastError() then says why); end page
// and end document answer a positive value or a negative code; drawing
// answers true or false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

constexpr int kDeviceUnitsPerInch = 600;

// A print font: family, cell height and average width in device units,
// weight and slant. width 0 lets the family's own proportions decide.
struct PrintFont {
  std::string family = "monospace";
  int height = 0;
  int width = 0;
  bool bold = false;
  bool italic = false;
};

class PrintDevice {
 public:
  virtual ~PrintDevice() = default;

  virtual int StartDocument(const char* name) = 0;
  virtual int EndDocument() = 0;
  // Begin-page on a page that is already begun is accepted and changes nothing.
  virtual int BeginPage() = 0;
  // Refused (negative) when no page is open.
  virtual int EndPage() = 0;

  // Height of the printable area, and the line height of the device's
  // default font (character height plus external leading).
  virtual int PageHeight() const = 0;
  virtual int LineHeight() const = 0;

  // Character height and average character width of the default font.
  virtual void DefaultFontMetrics(int* char_height, int* average_width) const = 0;

  virtual void SelectFont(const PrintFont& font) = 0;
  virtual bool DrawText(int x, int y, const char* text, size_t length) = 0;

  // The error number of the last refused call.
  virtual int LastError() const = 0;
  // A number that names this device in trace records.
  virtual uint32_t Handle() const = 0;
};

// A print font of the given family and size in points.
PrintFont FontFromPoints(const std::string& family, int points, bool bold, bool italic);

// A fresh device handle for trace records: distinct within the process.
uint32_t NextDeviceHandle();

struct DeviceMode;

// Creates the device for a printer the way the printer list describes it:
// driver "pdf" writes PDF files to the path in port (a port ending in "/"
// is a directory that gets one file per document), driver "cups" submits
// to the CUPS destination named device. An empty driver looks the printer up
// in the "devices" list. mode may be null (the destination's defaults).
// Returns null when the printer is unknown or the driver unsupported.
std::unique_ptr<PrintDevice> CreatePrintDevice(const char* driver, const char* device,
                                               const char* port, const DeviceMode* mode);

}  // namespace platform
