#include "platform/print/print_pdf_device.h"

#include <unistd.h>

#include <cerrno>

#include "platform/print/print_cups.h"
#include "platform/print/printer_profile.h"

namespace platform {

PdfBackedDevice::PdfBackedDevice(const PageGeometry& geometry)
    : renderer_(geometry), handle_(NextDeviceHandle()) {}

PdfBackedDevice::~PdfBackedDevice() {
  // Released in the middle of a document: nothing is delivered. The
  // renderer is finished first, while its target is still open.
  if (target_) {
    renderer_.Finish();
    fclose(target_);
  }
}

int PdfBackedDevice::StartDocument(const char* name) {
  if (target_) {
    last_error_ = EBUSY;
    return -1;
  }
  document_name_ = name ? name : "";
  errno = 0;
  target_ = OpenTarget();
  if (!target_) {
    last_error_ = errno ? errno : EIO;
    return -1;
  }
  if (!renderer_.Open(target_)) {
    fclose(target_);
    target_ = nullptr;
    Discard();
    last_error_ = EIO;
    return -1;
  }
  return 1;
}

int PdfBackedDevice::EndDocument() {
  if (!target_) {
    last_error_ = EINVAL;
    return -1;
  }
  bool ok = renderer_.Finish();
  int pages = renderer_.PagesEnded();
  int error = ok ? 0 : EIO;
  if (ok && fflush(target_) != 0) error = errno ? errno : EIO;
  if (!error && pages > 0) error = Deliver(target_, pages);
  if (fclose(target_) != 0 && !error) error = errno ? errno : EIO;
  target_ = nullptr;
  if (error || pages == 0) Discard();
  if (error) {
    last_error_ = error;
    return -1;
  }
  return 1;
}

PdfFileDevice::PdfFileDevice(std::string path, const PageGeometry& geometry)
    : PdfBackedDevice(geometry), target_(std::move(path)) {}

PdfFileDevice::~PdfFileDevice() {
  if (DocumentOpen()) Discard();
}

FILE* PdfFileDevice::OpenTarget() {
  path_ = target_;
  if (path_.back() == '/') {
    std::string name = DocumentName().empty() ? "document" : DocumentName();
    for (char& c : name)
      if (c == '/') c = '_';
    path_ += name + ".pdf";
  }
  part_path_ = path_ + ".part";
  return fopen(part_path_.c_str(), "wb");
}

int PdfFileDevice::Deliver(FILE* target, int) {
  // The data must be on disk before the name says the file is complete.
  if (fsync(fileno(target)) != 0 && errno != EINVAL) return errno;
  if (rename(part_path_.c_str(), path_.c_str()) != 0) return errno;
  return 0;
}

void PdfFileDevice::Discard() {
  if (!part_path_.empty()) unlink(part_path_.c_str());
}

std::unique_ptr<PrintDevice> CreatePdfFileDevice(const std::string& path, const DeviceMode* mode) {
  if (path.empty()) return nullptr;
  return std::make_unique<PdfFileDevice>(path, GeometryFor(mode, LocaleDefaultMedia(), kPdfMargin));
}

std::unique_ptr<PrintDevice> CreatePrintDevice(const char* driver, const char* device,
                                               const char* port, const DeviceMode* mode) {
  std::string drv = driver ? driver : "", prt = port ? port : "";
  std::string name = device ? device : "";
  if (drv.empty()) {
    PrinterProfile profile = LoadPrinterProfile();
    const PrinterEntry* entry = FindPrinter(profile, name);
    if (!entry) return nullptr;
    drv = entry->driver;
    prt = entry->port;
  }
  if (drv == "pdf") return CreatePdfFileDevice(prt, mode);
  if (drv == "cups") return CreateCupsDevice(name, mode);
  return nullptr;
}

}  // namespace platform
