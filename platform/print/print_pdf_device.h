// Devices that render each document into a PDF: the "pdf" driver writes it
// to a file, the CUPS device submits it as one job. A document without a
// single finished page produces nothing, so an empty job wastes no paper.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"
#include "platform/print/print_pdf_renderer.h"

namespace platform {

class PdfBackedDevice : public PrintDevice {
 public:
  explicit PdfBackedDevice(const PageGeometry& geometry);
  ~PdfBackedDevice() override;

  int StartDocument(const char* name) override;
  int EndDocument() override;
  int BeginPage() override { return renderer_.BeginPage(); }
  int EndPage() override { return renderer_.EndPage(); }
  int PageHeight() const override { return renderer_.Geometry().PrintableHeight(); }
  int LineHeight() const override { return PdfRenderer::DefaultLineHeight(); }
  void DefaultFontMetrics(int* char_height, int* average_width) const override {
    PdfRenderer::DefaultFontMetrics(char_height, average_width);
  }
  void SelectFont(const PrintFont& font) override { renderer_.SelectFont(font); }
  bool DrawText(int x, int y, const char* text, size_t length) override {
    return renderer_.DrawText(x, y, text, length);
  }
  int LastError() const override { return last_error_; }
  uint32_t Handle() const override { return handle_; }

 protected:
  // Where the document's bytes go while it is rendered; null with errno set
  // on failure.
  virtual FILE* OpenTarget() = 0;
  // The document is complete in target (not yet closed): hand it on.
  // Returns 0 or an error number.
  virtual int Deliver(FILE* target, int pages) = 0;
  // The document failed or was abandoned.
  virtual void Discard() {}

  const std::string& DocumentName() const { return document_name_; }
  bool DocumentOpen() const { return target_ != nullptr; }

 private:
  PdfRenderer renderer_;
  FILE* target_ = nullptr;
  std::string document_name_;
  int last_error_ = 0;
  uint32_t handle_;
};

// The "pdf" driver: each document replaces the file at path, or, when path
// ends in "/", becomes DIR/<document name>.pdf, so a run's documents do not
// overwrite each other. A file is written beside its final name first and
// renamed into place when complete.
class PdfFileDevice : public PdfBackedDevice {
 public:
  PdfFileDevice(std::string path, const PageGeometry& geometry);
  ~PdfFileDevice() override;

 protected:
  FILE* OpenTarget() override;
  int Deliver(FILE* target, int pages) override;
  void Discard() override;

 private:
  std::string target_, path_, part_path_;
};

// Margin of the pdf driver's printable area, as a printer's unprintable edge.
constexpr int kPdfMargin = kDeviceUnitsPerInch / 4;

std::unique_ptr<PrintDevice> CreatePdfFileDevice(const std::string& path, const DeviceMode* mode);

}  // namespace platform
