// Print devices over a GDI printer device context. Positions and sizes of
// the interface are in 1/600 inch; the device context works in its own dots,
// converted with the resolution it reports.
#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/print/print_device.h"
#include "platform/print/print_gdi_mode_win32.h"
#include "platform/print/printer_profile.h"

namespace platform {

namespace {

int ToDots(int units, int dpi) { return MulDiv(units, dpi, kDeviceUnitsPerInch); }
int ToUnits(int dots, int dpi) { return MulDiv(dots, kDeviceUnitsPerInch, dpi); }

// A port that is a file path ("C:\out.prn", "Z:/tmp/x.ps", or a Unix path
// under Wine) receives the printer's output as a file. Named ports
// ("LPT1:", "FILE:", "CUPS:queue") and network paths are the spooler's.
bool IsFilePort(const std::string& port) {
  if (port.size() >= 3 && isalpha(static_cast<unsigned char>(port[0])) && port[1] == ':' &&
      (port[2] == '\\' || port[2] == '/'))
    return true;
  return port.size() >= 2 && port[0] == '/' && port[1] != '/';
}

// Face and family of a font family name; the generic names find a face of
// their kind.
void FillFace(const std::string& family, LOGFONTA* lf) {
  struct Generic {
    const char* name;
    const char* face;
    BYTE pitch_and_family;
  };
  static const Generic kGeneric[] = {
      {"monospace", "Courier New", FIXED_PITCH | FF_MODERN},
      {"serif", "Times New Roman", VARIABLE_PITCH | FF_ROMAN},
      {"sans-serif", "Arial", VARIABLE_PITCH | FF_SWISS},
      {"sans", "Arial", VARIABLE_PITCH | FF_SWISS},
  };
  std::string face = family;
  lf->lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  for (const Generic& g : kGeneric) {
    if (_stricmp(family.c_str(), g.name) == 0) {
      face = g.face;
      lf->lfPitchAndFamily = g.pitch_and_family;
    }
  }
  // Longer names cannot be a face name: cut, and the font mapper finds the nearest.
  snprintf(lf->lfFaceName, sizeof lf->lfFaceName, "%s", face.c_str());
}

class GdiDevice : public PrintDevice {
 public:
  GdiDevice(HDC dc, std::string output) : dc_(dc), output_(std::move(output)) {
    dpi_x_ = GetDeviceCaps(dc_, LOGPIXELSX);
    dpi_y_ = GetDeviceCaps(dc_, LOGPIXELSY);
    if (dpi_x_ <= 0) dpi_x_ = kDeviceUnitsPerInch;
    if (dpi_y_ <= 0) dpi_y_ = kDeviceUnitsPerInch;
    page_height_ = ToUnits(GetDeviceCaps(dc_, VERTRES), dpi_y_);
    // The default font's metrics, read before any font is selected.
    TEXTMETRICA tm{};
    if (GetTextMetricsA(dc_, &tm)) {
      line_height_ = ToUnits(tm.tmHeight + tm.tmExternalLeading, dpi_y_);
      char_height_ = ToUnits(tm.tmHeight, dpi_y_);
      average_width_ = ToUnits(tm.tmAveCharWidth, dpi_x_);
    }
  }

  ~GdiDevice() override {
    // Released in the middle of a document: nothing is delivered.
    if (document_open_) AbortDoc(dc_);
    if (original_font_) SelectObject(dc_, original_font_);
    if (font_) DeleteObject(font_);
    DeleteDC(dc_);
  }

  GdiDevice(const GdiDevice&) = delete;
  GdiDevice& operator=(const GdiDevice&) = delete;

  int StartDocument(const char* name) override {
    if (document_open_) return Refuse(ERROR_BUSY);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name ? name : "";
    info.lpszOutput = output_.empty() ? nullptr : output_.c_str();
    SetLastError(0);
    if (StartDocA(dc_, &info) <= 0) return Refuse(GetLastError());
    document_open_ = true;
    pages_ended_ = 0;
    return 1;
  }

  int EndDocument() override {
    if (!document_open_) return Refuse(ERROR_INVALID_PARAMETER);
    if (page_open_) EndPage();
    document_open_ = false;
    // A document without a single finished page wastes no paper.
    if (pages_ended_ == 0) {
      AbortDoc(dc_);
      return 1;
    }
    SetLastError(0);
    int result = EndDoc(dc_);
    return result > 0 ? result : Refuse(GetLastError());
  }

  int BeginPage() override {
    if (!document_open_) return Refuse(ERROR_INVALID_PARAMETER);
    if (page_open_) return 1;
    SetLastError(0);
    int result = StartPage(dc_);
    if (result <= 0) return Refuse(GetLastError());
    page_open_ = true;
    // Some drivers start each page with the device's defaults.
    if (font_) SelectObject(dc_, font_);
    return result;
  }

  int EndPage() override {
    // GDI itself would accept an end-page with no page begun.
    if (!page_open_) return Refuse(ERROR_INVALID_PARAMETER);
    page_open_ = false;
    SetLastError(0);
    int result = ::EndPage(dc_);
    if (result <= 0) {
      last_error_ = GetLastError();
      return result < 0 ? result : -1;
    }
    ++pages_ended_;
    return result;
  }

  int PageHeight() const override { return page_height_; }
  int LineHeight() const override { return line_height_; }
  void DefaultFontMetrics(int* char_height, int* average_width) const override {
    *char_height = char_height_;
    *average_width = average_width_;
  }

  void SelectFont(const PrintFont& font) override {
    LOGFONTA lf{};
    // A negative height asks for the character height without internal leading.
    lf.lfHeight = -ToDots(font.height, dpi_y_);
    lf.lfWidth = ToDots(font.width, dpi_x_);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    FillFace(font.family, &lf);
    HFONT created = CreateFontIndirectA(&lf);
    if (!created) {
      last_error_ = GetLastError();
      return;
    }
    HGDIOBJ previous = SelectObject(dc_, created);
    if (!original_font_) original_font_ = previous;
    if (font_) DeleteObject(font_);
    font_ = created;
  }

  bool DrawText(int x, int y, const char* text, size_t length) override {
    if (!document_open_) {
      last_error_ = ERROR_INVALID_PARAMETER;
      return false;
    }
    // Text outside a begun page lands on the page it implies, as it does
    // on the other systems' devices.
    if (!page_open_ && BeginPage() <= 0) return false;
    const int count = length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(length);
    if (TextOutA(dc_, ToDots(x, dpi_x_), ToDots(y, dpi_y_), text, count)) return true;
    last_error_ = GetLastError();
    return false;
  }

  int LastError() const override { return last_error_; }
  uint32_t Handle() const override {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dc_));
  }

 private:
  int Refuse(DWORD error) {
    last_error_ = static_cast<int>(error ? error : ERROR_INVALID_PARAMETER);
    return -1;
  }

  HDC dc_;
  std::string output_;
  int dpi_x_ = 0, dpi_y_ = 0;
  int page_height_ = 0, line_height_ = 0, char_height_ = 0, average_width_ = 0;
  bool document_open_ = false, page_open_ = false;
  int pages_ended_ = 0;
  HFONT font_ = nullptr;
  HGDIOBJ original_font_ = nullptr;
  int last_error_ = 0;
};

}  // namespace

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
  // PDF files are written by the Linux build's own renderer only.
  if (name.empty() || _stricmp(drv.c_str(), "pdf") == 0) return nullptr;
  std::vector<char> devmode = PrinterDevmode(name, mode);
  const auto* dm = devmode.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(devmode.data());
  HDC dc = CreateDCA(drv.c_str(), name.c_str(), nullptr, dm);
  if (!dc) return nullptr;
  return std::make_unique<GdiDevice>(dc, IsFilePort(prt) ? prt : "");
}

}  // namespace platform
