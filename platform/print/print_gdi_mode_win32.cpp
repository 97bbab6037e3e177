#include "platform/print/print_gdi_mode_win32.h"

#include <cstring>

#include "platform/print/printer_profile.h"

namespace platform {

namespace {

struct Paper {
  int code;
  const char* media;
};

// The sheets both worlds name; others keep the driver's setting.
constexpr Paper kPapers[] = {
    {DMPAPER_A4, "iso_a4_210x297mm"},
    {DMPAPER_LETTER, "na_letter_8.5x11in"},
    {DMPAPER_LEGAL, "na_legal_8.5x14in"},
    {DMPAPER_A3, "iso_a3_297x420mm"},
    {DMPAPER_A5, "iso_a5_148x210mm"},
    {DMPAPER_EXECUTIVE, "na_executive_7.25x10.5in"},
    {DMPAPER_TABLOID, "na_ledger_11x17in"},
    {DMPAPER_B5, "jis_b5_182x257mm"},
    {DMPAPER_ENV_10, "na_number-10_4.125x9.5in"},
    {DMPAPER_ENV_DL, "iso_dl_110x220mm"},
};

// An open printer handle, closed when it goes.
struct OpenedPrinter {
  HANDLE handle = nullptr;
  explicit OpenedPrinter(const std::string& name) {
    if (!OpenPrinterA(const_cast<char*>(name.c_str()), &handle, nullptr)) handle = nullptr;
  }
  ~OpenedPrinter() {
    if (handle) ClosePrinter(handle);
  }
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;
};

}  // namespace

std::string MediaOfPaper(int paper) {
  for (const Paper& p : kPapers)
    if (p.code == paper) return p.media;
  return "";
}

int PaperOfMedia(const std::string& media) {
  for (const Paper& p : kPapers)
    if (media == p.media) return p.code;
  return 0;
}

void ApplyDeviceMode(const DeviceMode& mode, DEVMODEA* dm) {
  if (int paper = PaperOfMedia(mode.media)) {
    dm->dmPaperSize = static_cast<short>(paper);
    dm->dmFields |= DM_PAPERSIZE;
    // A custom size left behind would override the paper named here.
    dm->dmFields &= ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH);
  }
  if (!mode.orientation.empty()) {
    dm->dmOrientation = mode.orientation == "landscape" ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm->dmFields |= DM_ORIENTATION;
  }
  if (!mode.sides.empty()) {
    dm->dmDuplex = mode.sides == "two-sided-long-edge"    ? DMDUP_VERTICAL
                   : mode.sides == "two-sided-short-edge" ? DMDUP_HORIZONTAL
                                                          : DMDUP_SIMPLEX;
    dm->dmFields |= DM_DUPLEX;
  }
  if (mode.copies > 0) {
    dm->dmCopies = static_cast<short>(mode.copies);
    dm->dmFields |= DM_COPIES;
  }
}

DeviceMode DeviceModeFromDevmode(const DEVMODEA& dm) {
  DeviceMode mode;
  if (dm.dmFields & DM_PAPERSIZE) mode.media = MediaOfPaper(dm.dmPaperSize);
  if (dm.dmFields & DM_ORIENTATION)
    mode.orientation = dm.dmOrientation == DMORIENT_LANDSCAPE ? "landscape" : "portrait";
  if (dm.dmFields & DM_DUPLEX)
    mode.sides = dm.dmDuplex == DMDUP_VERTICAL     ? "two-sided-long-edge"
                 : dm.dmDuplex == DMDUP_HORIZONTAL ? "two-sided-short-edge"
                                                   : "one-sided";
  if ((dm.dmFields & DM_COPIES) && dm.dmCopies >= 1 && dm.dmCopies <= 999)
    mode.copies = dm.dmCopies;
  return mode;
}

std::vector<char> PrinterDevmode(const std::string& printer, const DeviceMode* mode) {
  OpenedPrinter p(printer);
  if (!p.handle) return {};
  char* name = const_cast<char*>(printer.c_str());
  LONG size = DocumentPropertiesA(nullptr, p.handle, name, nullptr, nullptr, 0);
  if (size <= 0) return {};
  if (size < static_cast<LONG>(sizeof(DEVMODEA))) size = sizeof(DEVMODEA);
  // Room to spare: some drivers under-report their private part.
  std::vector<char> block(static_cast<size_t>(size) * 2);
  auto* dm = reinterpret_cast<DEVMODEA*>(block.data());
  if (DocumentPropertiesA(nullptr, p.handle, name, dm, nullptr, DM_OUT_BUFFER) < 0) return {};
  if (mode) {
    ApplyDeviceMode(*mode, dm);
    // The driver settles what it cannot do (it may keep its own paper).
    std::vector<char> merged(block.size());
    auto* out = reinterpret_cast<DEVMODEA*>(merged.data());
    if (DocumentPropertiesA(nullptr, p.handle, name, out, dm, DM_IN_BUFFER | DM_OUT_BUFFER) >= 0)
      block.swap(merged);
  }
  return block;
}

bool QueryDeviceCapabilities(const std::string& printer_name, DeviceCapabilities* caps) {
  PrinterProfile profile = LoadPrinterProfile();
  const PrinterEntry* entry = FindPrinter(profile, printer_name);
  if (!entry) return false;
  std::vector<char> block = PrinterDevmode(entry->name, nullptr);
  if (block.empty()) return false;
  const auto* dm = reinterpret_cast<const DEVMODEA*>(block.data());
  const char* device = entry->name.c_str();
  *caps = DeviceCapabilities();

  int papers = DeviceCapabilitiesA(device, nullptr, DC_PAPERS, nullptr, dm);
  if (papers > 0) {
    std::vector<WORD> codes(static_cast<size_t>(papers));
    papers =
        DeviceCapabilitiesA(device, nullptr, DC_PAPERS, reinterpret_cast<char*>(codes.data()), dm);
    for (int i = 0; i < papers && i < static_cast<int>(codes.size()); ++i) {
      std::string media = MediaOfPaper(codes[static_cast<size_t>(i)]);
      bool seen = false;
      for (const std::string& m : caps->media) seen = seen || m == media;
      if (!media.empty() && !seen) caps->media.push_back(media);
    }
  }
  caps->orientations.push_back("portrait");
  // The answer is the angle landscape turns by, 0 when there is none.
  if (DeviceCapabilitiesA(device, nullptr, DC_ORIENTATION, nullptr, dm) > 0)
    caps->orientations.push_back("landscape");
  caps->sides.push_back("one-sided");
  if (DeviceCapabilitiesA(device, nullptr, DC_DUPLEX, nullptr, dm) == 1) {
    caps->sides.push_back("two-sided-long-edge");
    caps->sides.push_back("two-sided-short-edge");
  }
  int copies = DeviceCapabilitiesA(device, nullptr, DC_COPIES, nullptr, dm);
  caps->max_copies = copies > 999 ? 999 : (copies < 1 ? 1 : copies);

  caps->defaults = DeviceModeFromDevmode(*dm);
  if (caps->defaults.media.empty())
    caps->defaults.media = caps->media.empty() ? LocaleDefaultMedia() : caps->media.front();
  if (caps->media.empty()) caps->media.push_back(caps->defaults.media);
  if (caps->defaults.orientation.empty()) caps->defaults.orientation = "portrait";
  if (caps->defaults.sides.empty()) caps->defaults.sides = "one-sided";
  if (caps->defaults.copies < 1 || caps->defaults.copies > caps->max_copies)
    caps->defaults.copies = 1;
  return true;
}

}  // namespace platform
