#include "platform/print/print_pdf_renderer.h"

#include "platform/print/print_fonts.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>

namespace platform {

namespace {

constexpr double kPointsPerUnit = 72.0 / kDeviceUnitsPerInch;
constexpr int kDefaultFontPoints = 10;

cairo_status_t WriteChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* sink = static_cast<PdfRenderer::Sink*>(closure);
  if (fwrite(data, 1, length, sink->out) != length) {
    sink->failed = true;
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

// Windows-1252 for 0x80..0x9F; the rest of the upper half is Latin-1.
const char16_t kCp1252High[32] = {0x20AC, 0x0020, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0020, 0x017D, 0x0020,
                                  0x0020, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0020, 0x017E, 0x0178};

void SetFont(cairo_t* cr, const PrintFont& font) {
  cairo_select_font_face(cr, font.family.empty() ? "monospace" : font.family.c_str(),
                         font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  double size = font.height > 0 ? font.height : kDefaultFontPoints * kDeviceUnitsPerInch / 72.0;
  cairo_set_font_size(cr, size);
  if (font.width > 0) {
    cairo_text_extents_t zero;
    cairo_text_extents(cr, "0", &zero);
    if (zero.x_advance > 0) {
      cairo_matrix_t m;
      cairo_matrix_init_scale(&m, size * font.width / zero.x_advance, size);
      cairo_set_font_matrix(cr, &m);
    }
  }
}

}  // namespace

std::string HostTextToUtf8(const char* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t u = c;
    if (c < 0x20 || c == 0x7F)
      u = ' ';
    else if (c >= 0x80 && c < 0xA0)
      u = kCp1252High[c - 0x80];
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

PdfRenderer::PdfRenderer(const PageGeometry& geometry) : geometry_(geometry) {
  font_ = DefaultFont();
  ReleaseFontCachesAtExit();
}

PdfRenderer::~PdfRenderer() { Close(); }

PrintFont PdfRenderer::DefaultFont() {
  PrintFont f;
  f.family = "monospace";
  f.height = static_cast<int>(std::lround(kDefaultFontPoints * kDeviceUnitsPerInch / 72.0));
  return f;
}

namespace {

struct DefaultMetrics {
  int line_height, char_height, average_width;
};

const DefaultMetrics& MeasureDefaultFont() {
  static const DefaultMetrics metrics = [] {
    ReleaseFontCachesAtExit();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(s);
    cairo_font_options_t* opt = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, opt);
    SetFont(cr, PdfRenderer::DefaultFont());
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t zero;
    cairo_text_extents(cr, "0", &zero);
    DefaultMetrics m;
    m.line_height = static_cast<int>(std::lround(fe.height));
    m.char_height = static_cast<int>(std::lround(fe.ascent + fe.descent));
    m.average_width = static_cast<int>(std::lround(zero.x_advance));
    cairo_font_options_destroy(opt);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    // Six lines to the inch if the font cannot be measured.
    if (m.line_height <= 0) m.line_height = kDeviceUnitsPerInch / 6;
    if (m.char_height <= 0) m.char_height = m.line_height;
    return m;
  }();
  return metrics;
}

}  // namespace

int PdfRenderer::DefaultLineHeight() { return MeasureDefaultFont().line_height; }

void PdfRenderer::DefaultFontMetrics(int* char_height, int* average_width) {
  *char_height = MeasureDefaultFont().char_height;
  *average_width = MeasureDefaultFont().average_width;
}

bool PdfRenderer::Open(FILE* out) {
  Close();
  sink_.out = out;
  sink_.failed = false;
  pages_ended_ = 0;
  page_open_ = false;
  surface_ = cairo_pdf_surface_create_for_stream(
      WriteChunk, &sink_, geometry_.width * kPointsPerUnit, geometry_.height * kPointsPerUnit);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    Close();
    return false;
  }
  cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "qorprtt");
  cr_ = cairo_create(surface_);
  cairo_scale(cr_, kPointsPerUnit, kPointsPerUnit);
  cairo_translate(cr_, geometry_.left, geometry_.top);
  cairo_rectangle(cr_, 0, 0, geometry_.PrintableWidth(), geometry_.PrintableHeight());
  cairo_clip(cr_);
  cairo_set_source_rgb(cr_, 0, 0, 0);
  ApplyFont();
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

void PdfRenderer::Close() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
  cr_ = nullptr;
  surface_ = nullptr;
}

bool PdfRenderer::Finish() {
  if (!cr_) return false;
  if (page_open_) EndPage();
  cairo_surface_finish(surface_);
  bool ok = cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS &&
            cairo_status(cr_) == CAIRO_STATUS_SUCCESS && !sink_.failed;
  Close();
  return ok;
}

int PdfRenderer::BeginPage() {
  if (!cr_) return -1;
  page_open_ = true;
  return 1;
}

int PdfRenderer::EndPage() {
  if (!cr_ || !page_open_) return -1;
  cairo_show_page(cr_);
  page_open_ = false;
  ++pages_ended_;
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS && !sink_.failed ? 1 : -1;
}

void PdfRenderer::SelectFont(const PrintFont& font) {
  font_ = font;
  if (cr_) ApplyFont();
}

void PdfRenderer::ApplyFont() {
  SetFont(cr_, font_);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  ascent_ = fe.ascent;
}

bool PdfRenderer::DrawText(int x, int y, const char* text, size_t length) {
  if (!cr_ || cairo_status(cr_) != CAIRO_STATUS_SUCCESS) return false;
  std::string utf8 = HostTextToUtf8(text, length);
  cairo_move_to(cr_, x, y + ascent_);
  cairo_show_text(cr_, utf8.c_str());
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

}  // namespace platform
