// The font families of the default printer, as GDI enumerates them on its
// device context (the screen's when there is no printer).
#include <set>

#include "platform/print/print_fonts.h"
#include "platform/print/printer_profile.h"
#include "platform/win32/printing_api.h"

namespace platform {

namespace {

struct Families {
  std::set<std::string> mono, other;
};

int CALLBACK AddFamily(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
  auto* families = reinterpret_cast<Families*>(data);
  // '@' names are the vertical variants of East Asian faces.
  if (lf->lfFaceName[0] && lf->lfFaceName[0] != '@') {
    bool fixed = (lf->lfPitchAndFamily & 0x3) == FIXED_PITCH;
    (fixed ? families->mono : families->other).insert(lf->lfFaceName);
  }
  return 1;
}

HDC DefaultPrinterDC() {
  std::string device = SystemPrinterProfile().default_device;
  std::string name = device.substr(0, device.find(','));
  HDC dc = name.empty() ? nullptr : CreateDCA(nullptr, name.c_str(), nullptr, nullptr);
  return dc ? dc : CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
}

}  // namespace

void ReleaseFontCachesAtExit() {}  // GDI keeps no caches of ours

std::vector<std::string> ListFontFamilies() {
  Families families;
  HDC dc = DefaultPrinterDC();
  if (!dc) return {};
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &all, AddFamily, reinterpret_cast<LPARAM>(&families), 0);
  DeleteDC(dc);
  std::vector<std::string> result(families.mono.begin(), families.mono.end());
  for (const std::string& f : families.other)
    if (!families.mono.count(f)) result.push_back(f);
  return result;
}

}  // namespace platform
