// The client's printing context: the printer selection (the printer, its
// driver settings and the print font), the print state shared by all print
// jobs, the services a print job needs from the rest of the client, the
// hooks MODE and FONT use, and the device for the current selection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"

namespace common {
class Tracer;
}  // namespace common

namespace client {

struct PrinterSelection {
  static constexpr size_t kNameSize = 129;  // up to 128 characters
  char printer_name[kNameSize] = "";
  // Shared so that a print job keeps the block it started with after MODE
  // has replaced the selection's.
  std::shared_ptr<const platform::DeviceMode> printer_devmode;
  std::unique_ptr<platform::PrintFont> printer_font;
};

// State that outlives single print jobs.
struct PrintState {
  static constexpr size_t kSegmentSize = 260;  // up to 259 characters
  uint32_t print_doc_count = 0;
  // The unterminated tail of the last buffer printed.
  char line_segment[kSegmentSize] = "";
};

// What a print job needs from the rest of the client; unset members do nothing.
struct PrintServices {
  // Adds a status text to the transfer log.
  std::function<void(const char*)> add_status_text;
  // Shows a text in the message dialog (default title, OK) and waits.
  std::function<void(const char*)> show_message;
  // Shows a text on the main window's status line.
  std::function<void(const char*)> show_status;
  // True while jobs are taken unattended: nobody is there to press OK.
  std::function<bool()> unattended;
  // Documents are named <base>.<number>.
  std::string document_base = "QORPRTW";
};

// What MODE and FONT ask of the platform; tests put fakes in their place.
struct PrinterSetupHooks {
  std::function<bool(const std::string&, platform::DeviceCapabilities*)> query_capabilities;
  // The device whose default font the FONT choice falls back on.
  std::function<std::unique_ptr<platform::PrintDevice>()> create_device;
  std::function<std::vector<std::string>()> list_families;
};

// Everything printing keeps for the run, owned by the client's state.
struct Printing {
  PrinterSelection selection;
  PrintState state;
  PrintServices services;
  PrinterSetupHooks hooks;                 // unset members use the real platform calls
  const common::Tracer* tracer = nullptr;  // the program's, once it hands it over

  // The program's trace, or one that stays off.
  const common::Tracer& Trace() const;

  const char* PrinterName() const { return selection.printer_name; }
  // Sets the selection's printer_name, cut to 128 characters.
  void SetPrinterName(const char* name);
  // Shows a text the user must see: in the message dialog, or on the status
  // line when unattended, so the job does not stall waiting for a button.
  void ShowMessage(const char* text);
};

// The default printer: "device" of section "windows" (default ",,,", read
// into an 80-byte buffer), cut at its first comma.
std::string DefaultPrinterName();

// A device for the current selection: the driver and port come from the
// printer's "devices" entry (tokens separated by commas and blanks), the
// settings from printer_devmode. Null when the device cannot be made.
std::unique_ptr<platform::PrintDevice> CreatePrinterDC(const PrinterSelection& selection,
                                                       const common::Tracer& trace);

}  // namespace client
