#include "client/engine/printer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/trace.h"

namespace {

constexpr char kCR = 13, kLF = 10, kFF = 12;
constexpr size_t kLineTraceSize = 256;  // a line's trace record: 255 characters

bool IsTerminator(char c) { return c == kCR || c == kLF || c == kFF; }

void TraceText(const char* tag, const char* text) {
  if (TracePath) TraceWrite(TracePath, -1, text, tag);
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void TraceFormat(const char* tag, const char* format, ...) {
  if (!TracePath) return;
  char text[600];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  TraceWrite(TracePath, -1, text, tag);
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
  TraceText("PRINTER", printing.PrinterName());
  device_ = platform::CreatePrintDevice(nullptr, printing.PrinterName(), nullptr, devmode_.get());
}

bool PrintJob::StartDocument() {
  PrintState& state = printing_.state;
  ++state.print_doc_count;
  char name[160];
  snprintf(name, sizeof name, "%s.%u", printing_.services.document_base.c_str(),
           static_cast<unsigned>(state.print_doc_count));
  TraceText("ZEZUVODU:StartDoc", name);
  if (device_->StartDocument(name) == -1) {
    TraceFormat("ZEZUVODU", "StartDoc(%08X) failed %d", Handle(), device_->LastError());
    return false;
  }
  // Line spacing follows the device's default font, read before any print
  // font is selected.
  page_height_ = device_->PageHeight();
  line_height_ = device_->LineHeight();
  return true;
}

void PrintJob::PrintLine(const char* line, size_t length, int y) {
  if (TracePath) {
    char text[kLineTraceSize];
    snprintf(text, sizeof text, "(%d) \"%s\"", y, line);
    TraceText("ZEZUVODU:line", text);
  }
  if (length == 0) return;
  if (!device_->DrawText(0, y, line, length)) {
    PrintServices& services = printing_.services;
    if (services.add_status_text) services.add_status_text("Printer Hiccupped");
    TraceText("ZEZUVODU", "TextOut failed");
  }
}

int PrintJob::PrintBuffer(const char* text) {
  if (!device_) return -1;
  PrintState& state = printing_.state;
  if (!started_) {
    if (!StartDocument()) return 1;
    started_ = true;
    TraceText("ZEZUVODU", "Started Printer");
    state.line_segment[0] = '\0';
  }
  const size_t length = strlen(text);
  int y = lines_on_page_ * line_height_;
  if (TracePath) {
    const char* last = text + (length > 20 ? length - 20 : 0);
    TraceFormat("ZEZUVODU", "Printer Buffer l = %d (%s)", static_cast<int>(length), last);
    if (state.line_segment[0]) TraceFormat("ZEZUVODU", "Line segment (%s)", state.line_segment);
  }

  size_t i = 0;
  while (i < length) {
    if (y == 0) {
      device_->BeginPage();
      if (const platform::PrintFont* font = printing_.selection.printer_font.get())
        device_->SelectFont(*font);
    }
    // The line so far: the carried tail, then the buffer up to a terminator.
    // Characters beyond the line's room are dropped, never stored.
    char line[kLineSize];
    size_t used = strlen(state.line_segment);
    memcpy(line, state.line_segment, used);
    const size_t from = i;
    while (i < length && !IsTerminator(text[i])) ++i;
    size_t take = i - from;
    if (take > kLineSize - 1 - used) take = kLineSize - 1 - used;
    memcpy(line + used, text + from, take);
    used += take;

    if (i >= length) {
      CopyCut(state.line_segment, sizeof state.line_segment, line, used);
      break;
    }
    line[used] = '\0';
    state.line_segment[0] = '\0';
    PrintLine(line, used, y);

    // Line advance: only pairs, and a LF that opens the buffer.
    const char c = text[i];
    const char next = i + 1 < length ? text[i + 1] : '\0';
    bool advance = false;
    if (c == kLF && i == 0) {
      advance = true;
    } else if ((c == kCR && next == kLF) || (c == kLF && next == kCR)) {
      advance = true;
      ++i;
    }
    if (advance) {
      y += line_height_;
      ++lines_on_page_;
    }

    if (text[i] != kFF && y + line_height_ <= page_height_) {
      ++i;
      continue;
    }
    TraceText("ZEZUVODU", "Page Break");
    if (lines_on_page_ != 0) {
      int code = EndPrinterPage();
      if (code < 0) {
        char message[48];
        snprintf(message, sizeof message, "EndPage Returned %d", code);
        printing_.ShowMessage(message);
        return code;
      }
    }
    y = 0;
    lines_on_page_ = 0;
    ++i;
  }
  TraceFormat("ZEZUVODU", "End Print Buffer l=%d", lines_on_page_);
  return 0;
}

int PrintJob::EndPrinterPage() {
  TraceText("ZEZUVODU", "endpagePRINTER");
  int code = device_ ? device_->EndPage() : -1;
  if (code < 0) {
    TraceText("ZEZUVODU", "EndPage failed");
    return code;
  }
  return 0;
}

bool PrintJob::EndPrint() {
  TraceFormat("endPRINTER", "(%04X) End Print  line=%d", Handle(), lines_on_page_);
  bool taken = device_ != nullptr;
  int code = EndPrinterPage();
  if (code < 0) TraceFormat("ZEZUVODU", "endPRINTER endPage=%d", code);
  if (code < 0 && started_ && lines_on_page_ != 0) taken = false;
  code = device_ ? device_->EndDocument() : -1;
  if (code < 0) TraceFormat("ZEZUVODU", "endPRINTER endDoc=%d", code);
  // A document never started has nothing to lose.
  if (code < 0 && started_) taken = false;
  device_.reset();
  return taken;
}
