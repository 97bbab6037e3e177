// A print device that keeps every call, for tests of what is printed.
// The log it writes to outlives the device, so a test can look at it after
// the printing code has released the device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/print/print_device.h"

namespace platform {

struct RecordedCall {
  enum Kind { kStartDoc, kEndDoc, kBeginPage, kEndPage, kSelectFont, kDraw } kind;
  std::string text;  // document name, font family or the drawn text
  int x = 0, y = 0;
  int result = 0;
};

struct RecordedLine {
  int x, y;
  std::string text;
};

struct PrintRecording {
  std::vector<RecordedCall> calls;
  // Text drawn on each page that was ended, and on the page still open.
  std::vector<std::vector<RecordedLine>> pages;
  std::vector<std::string> documents;  // names of documents started
  int documents_ended = 0;
  bool released = false;

  // Failure knobs, set by the test before printing.
  int fail_start_doc_error = 0;  // StartDocument answers -1 with this error
  int end_page_result = 0;       // non-zero: EndPage answers this when a page is open
  bool fail_draw = false;

  int Count(RecordedCall::Kind kind) const;
  // Every drawn text with its page index and y, "page:y:text" one per line.
  std::string Layout() const;
};

class RecordingDevice : public PrintDevice {
 public:
  RecordingDevice(std::shared_ptr<PrintRecording> log, int page_height, int line_height);
  ~RecordingDevice() override;

  int StartDocument(const char* name) override;
  int EndDocument() override;
  int BeginPage() override;
  int EndPage() override;
  int PageHeight() const override { return page_height_; }
  int LineHeight() const override { return line_height_; }
  void DefaultFontMetrics(int* char_height, int* average_width) const override {
    *char_height = line_height_;
    *average_width = line_height_ / 2;
  }
  void SelectFont(const PrintFont& font) override;
  bool DrawText(int x, int y, const char* text, size_t length) override;
  int LastError() const override { return last_error_; }
  uint32_t Handle() const override { return handle_; }

 private:
  void Add(RecordedCall::Kind kind, std::string text, int x, int y, int result);

  std::shared_ptr<PrintRecording> log_;
  int page_height_, line_height_;
  bool document_open_ = false;
  bool page_open_ = false;
  int last_error_ = 0;
  uint32_t handle_;
};

}  // namespace platform
