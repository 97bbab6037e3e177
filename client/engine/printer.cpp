#include "client/engine/printer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/trace.h"

namespace client {

namespace {

constexpr char kCR = 13, kLF = 10, kFF = 12;
constexpr size_t kLineTraceSize = 256;  // a line's trace record: 255 characters

bool IsTerminator(char c) { return c == kCR || c == kLF || c == kFF; }

#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void TraceFormat(const common::Tracer& trace, const char* tag, const char* format, ...) {
  if (!trace.On()) return;
  char text[600];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  trace.Write(tag, text);
}

// Copies text into a buffer of size bytes, cut to fit.
void CopyCut(char* out, size_t size, const char* text, size_t length) {
  if (length > size - 1) length = size - 1;
  memcpy(out, text, length);
  out[length] = '\0';
}

}  // namespace

PrintJob::PrintJob(Printing& printing, std::unique_ptr<platform::PrintDevice> device)
    : printing_(printing),
      devmode_(printing.selection.printer_devmode),
      device_(std::move(device)) {}

PrintJob::PrintJob(Printing& printing, const char* printer_name)
    : printing_(printing), devmode_(printing.selection.printer_devmode) {
  // The caller usually passes printer_name itself: copy before overwriting.
  std::string name = printer_name ? printer_name : "";
  if (name.empty()) name = DefaultPrinterName();
  printing.SetPrinterName(name.c_str());
  printing.Trace().Write("PRINTER", printing.PrinterName());
  device_ = platform::CreatePrintDevice(nullptr, printing.PrinterName(), nullptr, devmode_.get());
}

bool PrintJob::StartDocument() {
  PrintState& state = printing_.state;
  ++state.print_doc_count;
  char name[160];
  snprintf(name, sizeof name, "%s.%u", printing_.services.document_base.c_str(),
           static_cast<unsigned>(state.print_doc_count));
  Trace().Write("ZEZUVODU:StartDoc", name);
  if (device_->StartDocument(name) == -1) {
    TraceFormat(Trace(), "ZEZUVODU", "StartDoc(%08X) failed %d", Handle(), device_->LastError());
    return false;
  }
  // Line spacing follows the device's default font, read before any print
  // font is selected.
  page_height_ = device_->PageHeight();
  line_height_ = device_->LineHeight();
  return true;
}

void PrintJob::PrintLine(const char* line, size_t length, int y) {
  if (Trace().On()) {
    char text[kLineTraceSize];
    snprintf(text, sizeof text, "(%d) \"%s\"", y, line);
    Trace().Write("ZEZUVODU:line", text);
  }
  if (length == 0) return;
  if (!device_->DrawText(0, y, line, length)) {
    PrintServices& services = printing_.services;
    if (services.add_status_text) services.add_status_text("Printer Hiccupped");
    Trace().Write("ZEZUVODU", "TextOut failed");
  }
}

int PrintJob::PrintBuffer(const char* text) {
  if (!device_) return -1;
  PrintState& state = printing_.state;
  if (!started_) {
    if (!StartDocument()) return 1;
    started_ = true;
    Trace().Write("ZEZUVODU", "Started Printer");
    state.line_segment[0] = '\0';
  }
  const size_t length = strlen(text);
  if (Trace().On()) {
    const char* last = text + (length > 20 ? length - 20 : 0);
    TraceFormat(Trace(), "ZEZUVODU", "Printer Buffer l = %d (%s)", static_cast<int>(length), last);
    if (state.line_segment[0])
      TraceFormat(Trace(), "ZEZUVODU", "Line segment (%s)", state.line_segment);
  }
  int y = lines_on_page_ * line_height_;
  for (size_t i = 0; i < length;) {
    if (y == 0) BeginPage();
    size_t stop = i;
    while (stop < length && !IsTerminator(text[stop])) ++stop;
    char line[kLineSize];
    size_t used = ComposeLine(text + i, stop - i, line);
    if (stop >= length) {  // no terminator: the next buffer continues the line
      CopyCut(state.line_segment, sizeof state.line_segment, line, used);
      break;
    }
    state.line_segment[0] = '\0';
    PrintLine(line, used, y);
    const size_t width = LineAdvance(text, stop, length);
    if (width > 0) {
      y += line_height_;
      ++lines_on_page_;
    }
    if (text[stop] == kFF || y + line_height_ > page_height_) {
      if (int code = BreakPage(); code < 0) return code;
      y = 0;
    }
    i = stop + std::max<size_t>(width, 1);  // past the terminator (or pair)
  }
  TraceFormat(Trace(), "ZEZUVODU", "End Print Buffer l=%d", lines_on_page_);
  return 0;
}

void PrintJob::BeginPage() {
  device_->BeginPage();
  if (const platform::PrintFont* font = printing_.selection.printer_font.get())
    device_->SelectFont(*font);
}

size_t PrintJob::ComposeLine(const char* text, size_t count, char* line) const {
  // The carried tail, then the buffer's text; characters beyond the line's
  // room are dropped, never stored.
  size_t used = strlen(printing_.state.line_segment);
  memcpy(line, printing_.state.line_segment, used);
  if (count > kLineSize - 1 - used) count = kLineSize - 1 - used;
  memcpy(line + used, text, count);
  used += count;
  line[used] = '\0';
  return used;
}

size_t PrintJob::LineAdvance(const char* text, size_t at, size_t length) {
  // Only pairs advance, and a LF that opens the buffer (the host split a pair).
  const char c = text[at];
  const char next = at + 1 < length ? text[at + 1] : '\0';
  if (c == kLF && at == 0) return 1;
  if ((c == kCR && next == kLF) || (c == kLF && next == kCR)) return 2;
  return 0;
}

int PrintJob::BreakPage() {
  Trace().Write("ZEZUVODU", "Page Break");
  if (lines_on_page_ != 0) {
    int code = EndPrinterPage();
    if (code < 0) {
      char message[48];
      snprintf(message, sizeof message, "EndPage Returned %d", code);
      printing_.ShowMessage(message);
      return code;
    }
  }
  lines_on_page_ = 0;
  return 0;
}

int PrintJob::EndPrinterPage() {
  Trace().Write("ZEZUVODU", "endpagePRINTER");
  int code = device_ ? device_->EndPage() : -1;
  if (code < 0) {
    Trace().Write("ZEZUVODU", "EndPage failed");
    return code;
  }
  return 0;
}

bool PrintJob::EndPrint() {
  TraceFormat(Trace(), "endPRINTER", "(%04X) End Print  line=%d", Handle(), lines_on_page_);
  bool taken = device_ != nullptr;
  int code = EndPrinterPage();
  if (code < 0) TraceFormat(Trace(), "ZEZUVODU", "endPRINTER endPage=%d", code);
  if (code < 0 && started_ && lines_on_page_ != 0) taken = false;
  code = device_ ? device_->EndDocument() : -1;
  if (code < 0) TraceFormat(Trace(), "ZEZUVODU", "endPRINTER endDoc=%d", code);
  // A document never started has nothing to lose.
  if (code < 0 && started_) taken = false;
  device_.reset();
  return taken;
}

}  // namespace client
