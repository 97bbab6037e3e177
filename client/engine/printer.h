// One print job on one print device: text from the host, buffer by buffer,
// laid out line by line from the top of each page. Layout follows only the
// control characters in the text: carriage return, line feed, form feed.
//
// Line advance: a CR LF or LF CR pair advances one line; so does a LF at the
// very start of a buffer (it completes a pair the host split between two
// buffers). A lone CR or LF elsewhere, and a form feed, do not advance: the
// next text overprints the same line. A form feed, or a full page, ends the
// page, unless nothing has advanced on it yet (a form feed at the top of a
// page is absorbed). Text after the last terminator of a buffer is carried
// into the next one.
#pragma once

#include <memory>

#include "client/engine/printer_selection.h"
#include "platform/print/print_device.h"

namespace client {

class PrintJob {
 public:
  // A job on a device the printer dialog made; a null device means the
  // dialog was cancelled and the job has no printer.
  PrintJob(Printing& printing, std::unique_ptr<platform::PrintDevice> device);
  // A job on the named printer without a dialog: an empty name means the
  // default printer. The name becomes the selection's printer_name.
  PrintJob(Printing& printing, const char* printer_name);

  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // Returns 0 when the buffer was processed, -1 without a device, 1 when the
  // device refused to start the document (nothing printed; the next call
  // tries again), or the negative code of a refused end-page (the rest of
  // the buffer is dropped).
  int PrintBuffer(const char* text);
  // Ends the last page and the document and releases the device. True when
  // the print system took the document (or nothing was printed at all);
  // false when there was no device or it refused the end of the document.
  bool EndPrint();

  bool HasDevice() const { return device_ != nullptr; }
  int LinesOnPage() const { return lines_on_page_; }
  int PageHeight() const { return page_height_; }
  int LineHeight() const { return line_height_; }

  // Room for one line (carried part included) and its NUL.
  static constexpr size_t kLineSize = 512;

 private:
  bool StartDocument();
  void BeginPage();
  // The carried tail and count bytes of text, cut to the line's room, as a
  // NUL-terminated line; returns its length.
  size_t ComposeLine(const char* text, size_t count, char* line) const;
  // How many bytes the terminator at text[at] takes when it advances a line
  // (a CR LF or LF CR pair, or a LF opening the buffer); 0 when it does not.
  static size_t LineAdvance(const char* text, size_t at, size_t length);
  // Ends the page (when anything advanced on it); the refused end-page's
  // negative code, else 0.
  int BreakPage();
  const common::Tracer& Trace() const { return printing_.Trace(); }
  int EndPrinterPage();
  // Draws one finished line (may be empty) at y.
  void PrintLine(const char* line, size_t length, int y);
  uint32_t Handle() const { return device_ ? device_->Handle() : 0; }

  Printing& printing_;
  std::shared_ptr<const platform::DeviceMode> devmode_;
  int page_height_ = 0;
  int line_height_ = 0;
  int lines_on_page_ = 0;
  bool started_ = false;
  std::unique_ptr<platform::PrintDevice> device_;
};

}  // namespace client
