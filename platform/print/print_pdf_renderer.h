// Renders printed text into PDF pages with cairo, writing the PDF through a
// byte sink as it goes. Shared by the PDF-file and CUPS devices: they differ
// only in where the bytes end up.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace platform {

class PdfRenderer {
 public:
  // Where the PDF bytes go; failed records a short write.
  struct Sink {
    FILE* out = nullptr;
    bool failed = false;
  };

  explicit PdfRenderer(const PageGeometry& geometry);
  ~PdfRenderer();
  PdfRenderer(const PdfRenderer&) = delete;
  PdfRenderer& operator=(const PdfRenderer&) = delete;

  // Starts a PDF document written to out (kept open by the caller).
  bool Open(FILE* out);
  // Writes the trailer; false when any write failed on the way.
  bool Finish();
  bool IsOpen() const { return cr_ != nullptr; }

  int BeginPage();
  int EndPage();
  int PagesEnded() const { return pages_ended_; }

  void SelectFont(const PrintFont& font);
  bool DrawText(int x, int y, const char* text, size_t length);

  const PageGeometry& Geometry() const { return geometry_; }

  // Line height of the default font (monospace, 10 points), and its
  // character height and average character width.
  static int DefaultLineHeight();
  static void DefaultFontMetrics(int* char_height, int* average_width);
  static PrintFont DefaultFont();

 private:
  void ApplyFont();
  void Close();

  PageGeometry geometry_;
  Sink sink_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  bool page_open_ = false;
  int pages_ended_ = 0;
  PrintFont font_;
  double ascent_ = 0;
};

// Host text is single-byte (the Windows code page); cairo wants UTF-8.
// Control characters become blanks.
std::string HostTextToUtf8(const char* text, size_t length);

}  // namespace platform
