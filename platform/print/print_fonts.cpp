#include "platform/print/print_fonts.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <mutex>

#include <set>

namespace platform {

namespace {

void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace

void ReleaseFontCachesAtExit() {
  static std::once_flag once;
  std::call_once(once, [] { std::atexit(ReleaseFontCaches); });
}

std::vector<std::string> ListFontFamilies() {
  ReleaseFontCachesAtExit();
  std::set<std::string> mono, other;
  if (!FcInit()) return {};
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_SPACING, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(fonts->fonts[i], FC_SPACING, 0, &spacing);
    std::string name(reinterpret_cast<const char*>(family));
    (spacing == FC_MONO || spacing == FC_CHARCELL ? mono : other).insert(name);
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  std::vector<std::string> result(mono.begin(), mono.end());
  for (const std::string& f : other)
    if (!mono.count(f)) result.push_back(f);
  return result;
}

}  // namespace platform
