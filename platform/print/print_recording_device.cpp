#include "platform/print/print_recording_device.h"

#include <cerrno>

namespace platform {

int PrintRecording::Count(RecordedCall::Kind kind) const {
  int n = 0;
  for (const RecordedCall& c : calls) n += c.kind == kind;
  return n;
}

std::string PrintRecording::Layout() const {
  std::string out;
  for (size_t p = 0; p < pages.size(); ++p)
    for (const RecordedLine& l : pages[p])
      out += std::to_string(p + 1) + ":" + std::to_string(l.y) + ":" + l.text + "\n";
  return out;
}

RecordingDevice::RecordingDevice(std::shared_ptr<PrintRecording> log, int page_height,
                                 int line_height)
    : log_(std::move(log)),
      page_height_(page_height),
      line_height_(line_height),
      handle_(NextDeviceHandle()) {}

RecordingDevice::~RecordingDevice() { log_->released = true; }

void RecordingDevice::Add(RecordedCall::Kind kind, std::string text, int x, int y, int result) {
  RecordedCall c{kind, std::move(text), x, y, result};
  log_->calls.push_back(std::move(c));
}

int RecordingDevice::StartDocument(const char* name) {
  if (log_->fail_start_doc_error || document_open_) {
    last_error_ = document_open_ ? EBUSY : log_->fail_start_doc_error;
    Add(RecordedCall::kStartDoc, name, 0, 0, -1);
    return -1;
  }
  document_open_ = true;
  log_->documents.push_back(name);
  Add(RecordedCall::kStartDoc, name, 0, 0, 1);
  return 1;
}

int RecordingDevice::EndDocument() {
  int result = document_open_ ? 1 : -1;
  if (document_open_) ++log_->documents_ended;
  document_open_ = false;
  Add(RecordedCall::kEndDoc, "", 0, 0, result);
  return result;
}

int RecordingDevice::BeginPage() {
  int result = document_open_ ? 1 : -1;
  if (document_open_ && !page_open_) {
    page_open_ = true;
    log_->pages.emplace_back();
  }
  Add(RecordedCall::kBeginPage, "", 0, 0, result);
  return result;
}

int RecordingDevice::EndPage() {
  int result = -1;
  if (page_open_) {
    result = log_->end_page_result ? log_->end_page_result : 1;
    if (result > 0) page_open_ = false;
  }
  Add(RecordedCall::kEndPage, "", 0, 0, result);
  return result;
}

void RecordingDevice::SelectFont(const PrintFont& font) {
  Add(RecordedCall::kSelectFont, font.family, font.width, font.height, 1);
}

bool RecordingDevice::DrawText(int x, int y, const char* text, size_t length) {
  std::string s(text, length);
  bool ok = !log_->fail_draw && page_open_;
  if (ok) log_->pages.back().push_back(RecordedLine{x, y, s});
  Add(RecordedCall::kDraw, s, x, y, ok ? 1 : 0);
  return ok;
}

}  // namespace platform
