#include "platform/print/print_cups.h"

#include <cups/cups.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/print/print_pdf_device.h"
#include "platform/print/printer_profile.h"

namespace platform {

namespace {

int HundredthsMmToUnits(int v) {
  return static_cast<int>(std::lround(v * kDeviceUnitsPerInch / 2540.0));
}

// A destination and its printer information, freed together.
struct Destination {
  cups_dest_t* dest = nullptr;
  cups_dinfo_t* info = nullptr;

  explicit Destination(const std::string& full_name) {
    size_t slash = full_name.find('/');
    std::string name = full_name.substr(0, slash);
    std::string instance = slash == std::string::npos ? "" : full_name.substr(slash + 1);
    dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(),
                            instance.empty() ? nullptr : instance.c_str());
    if (dest) info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  }
  ~Destination() {
    if (info) cupsFreeDestInfo(info);
    if (dest) cupsFreeDests(1, dest);
  }
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;
};

class CupsDevice : public PdfBackedDevice {
 public:
  CupsDevice(std::string destination, const PageGeometry& geometry, const DeviceMode& mode)
      : PdfBackedDevice(geometry), destination_(std::move(destination)), mode_(mode) {}

 protected:
  FILE* OpenTarget() override { return tmpfile(); }
  int Deliver(FILE* target, int pages) override;

 private:
  std::string destination_;
  DeviceMode mode_;
};

int CupsDevice::Deliver(FILE* target, int) {
  Destination d(destination_);
  if (!d.dest) return ENOENT;
  cups_option_t* options = nullptr;
  int count = 0;
  // Landscape is already in the rendered pages' shape.
  if (!mode_.media.empty()) count = cupsAddOption("media", mode_.media.c_str(), count, &options);
  if (!mode_.sides.empty()) count = cupsAddOption("sides", mode_.sides.c_str(), count, &options);
  if (mode_.copies > 1)
    count = cupsAddOption("copies", std::to_string(mode_.copies).c_str(), count, &options);
  int job_id = 0;
  const char* title = DocumentName().c_str();
  ipp_status_t status =
      cupsCreateDestJob(CUPS_HTTP_DEFAULT, d.dest, d.info, &job_id, title, count, options);
  int error = 0;
  if (status > IPP_STATUS_OK_CONFLICTING || job_id <= 0 ||
      cupsStartDestDocument(CUPS_HTTP_DEFAULT, d.dest, d.info, job_id, title, CUPS_FORMAT_PDF, 0,
                            nullptr, 1) != HTTP_STATUS_CONTINUE) {
    error = EIO;
  } else {
    rewind(target);
    char chunk[16384];
    size_t n;
    while (!error && (n = fread(chunk, 1, sizeof chunk, target)) > 0)
      if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, chunk, n) != HTTP_STATUS_CONTINUE) error = EIO;
    if (!error && ferror(target)) error = EIO;
    // Finishing also closes the request when the copy failed half-way.
    if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, d.dest, d.info) > IPP_STATUS_OK_CONFLICTING)
      error = EIO;
  }
  if (error && job_id > 0) cupsCancelDestJob(CUPS_HTTP_DEFAULT, d.dest, job_id);
  cupsFreeOptions(count, options);
  return error;
}

void AddStrings(ipp_attribute_t* attr, std::vector<std::string>* out) {
  for (int i = 0; attr && i < ippGetCount(attr); ++i)
    if (const char* s = ippGetString(attr, i, nullptr)) out->push_back(s);
}

// The scheduler the client asks: a socket path, or host and port.
std::string ServerAddress() {
  std::string server = cupsServer();
  if (!server.empty() && server[0] == '/') return server;
  return server + ":" + std::to_string(ippPort());
}

// Why the scheduler listed no destinations.
std::string NoDestinationsReason() {
  const ipp_status_t status = cupsLastError();
  if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
    return "No CUPS server is reachable at " + ServerAddress() + ".";
  // CUPS says "not found" for a scheduler without queues.
  if (status <= IPP_STATUS_OK_CONFLICTING || status == IPP_STATUS_ERROR_NOT_FOUND)
    return "The CUPS server at " + ServerAddress() + " has no printers defined.";
  std::string why = cupsLastErrorString();
  while (!why.empty() && why.back() == '.') why.pop_back();
  return "The CUPS server at " + ServerAddress() + " lists no printers: " + why + ".";
}

}  // namespace

PrinterProfile SystemPrinterProfile() {
  PrinterProfile profile;
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& d = dests[i];
    PrinterEntry e;
    e.name = d.name;
    if (d.instance) e.name += std::string("/") + d.instance;
    e.driver = "cups";
    const char* uri = cupsGetOption("device-uri", d.num_options, d.options);
    if (!uri) uri = cupsGetOption("printer-uri-supported", d.num_options, d.options);
    e.port = uri ? uri : "";
    if (d.is_default && profile.default_device.empty())
      profile.default_device = e.name + "," + e.driver + "," + e.port;
    profile.devices.push_back(e);
  }
  cupsFreeDests(count, dests);
  if (profile.devices.empty()) profile.empty_reason = NoDestinationsReason();
  return profile;
}

std::unique_ptr<PrintDevice> CreateCupsDevice(const std::string& destination,
                                              const DeviceMode* mode) {
  Destination d(destination);
  if (!d.dest) return nullptr;
  DeviceMode chosen = mode ? *mode : DeviceMode();
  cups_size_t size{};
  bool have_size = false;
  if (d.info) {
    have_size = !chosen.media.empty()
                    ? cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, d.dest, d.info,
                                             chosen.media.c_str(), CUPS_MEDIA_FLAGS_DEFAULT, &size)
                    : cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, d.dest, d.info,
                                              CUPS_MEDIA_FLAGS_DEFAULT, &size);
  }
  PageGeometry g;
  if (have_size && size.width > 0 && size.length > 0) {
    g.width = HundredthsMmToUnits(size.width);
    g.height = HundredthsMmToUnits(size.length);
    if (chosen.orientation == "landscape") std::swap(g.width, g.height);
    g.left = HundredthsMmToUnits(size.left);
    g.right = HundredthsMmToUnits(size.right);
    g.top = HundredthsMmToUnits(size.top);
    g.bottom = HundredthsMmToUnits(size.bottom);
    if (chosen.orientation == "landscape") {
      g.left = HundredthsMmToUnits(size.bottom);
      g.right = HundredthsMmToUnits(size.top);
      g.top = HundredthsMmToUnits(size.left);
      g.bottom = HundredthsMmToUnits(size.right);
    }
    // A destination that reports no margins still gets the usual unprintable edge.
    if (g.left == 0 && g.right == 0 && g.top == 0 && g.bottom == 0)
      g.left = g.right = g.top = g.bottom = kPdfMargin;
  } else {
    g = GeometryFor(&chosen, LocaleDefaultMedia(), kPdfMargin);
  }
  return std::make_unique<CupsDevice>(destination, g, chosen);
}

bool QueryCupsCapabilities(const std::string& destination, DeviceCapabilities* caps) {
  Destination d(destination);
  if (!d.dest) return false;
  *caps = DeviceCapabilities();
  if (d.info) {
    AddStrings(cupsFindDestSupported(CUPS_HTTP_DEFAULT, d.dest, d.info, "media"), &caps->media);
    AddStrings(cupsFindDestSupported(CUPS_HTTP_DEFAULT, d.dest, d.info, "sides"), &caps->sides);
    ipp_attribute_t* orient =
        cupsFindDestSupported(CUPS_HTTP_DEFAULT, d.dest, d.info, "orientation-requested");
    for (int i = 0; orient && i < ippGetCount(orient); ++i) {
      int v = ippGetInteger(orient, i);
      if (v == IPP_ORIENT_PORTRAIT) caps->orientations.push_back("portrait");
      if (v == IPP_ORIENT_LANDSCAPE) caps->orientations.push_back("landscape");
    }
    if (ipp_attribute_t* copies =
            cupsFindDestSupported(CUPS_HTTP_DEFAULT, d.dest, d.info, "copies")) {
      int upper = 1;
      if (ippGetValueTag(copies) == IPP_TAG_RANGE)
        ippGetRange(copies, 0, &upper);
      else if (ippGetValueTag(copies) == IPP_TAG_INTEGER)
        upper = ippGetInteger(copies, 0);
      caps->max_copies = upper > 999 ? 999 : (upper < 1 ? 1 : upper);
    }
    if (ipp_attribute_t* m = cupsFindDestDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, "media"))
      if (const char* s = ippGetString(m, 0, nullptr)) caps->defaults.media = s;
    if (ipp_attribute_t* s = cupsFindDestDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, "sides"))
      if (const char* v = ippGetString(s, 0, nullptr)) caps->defaults.sides = v;
  }
  // What every PDF-rendering device can do whatever the queue reports.
  DeviceCapabilities fallback;
  PdfFileCapabilities(&fallback);
  if (caps->media.empty()) caps->media = fallback.media;
  if (caps->orientations.empty()) caps->orientations = fallback.orientations;
  if (caps->sides.empty()) caps->sides = fallback.sides;
  if (caps->defaults.media.empty()) caps->defaults.media = LocaleDefaultMedia();
  if (caps->defaults.sides.empty()) caps->defaults.sides = "one-sided";
  caps->defaults.orientation = "portrait";
  caps->defaults.copies = 1;
  return true;
}

void PdfFileCapabilities(DeviceCapabilities* caps) {
  *caps = DeviceCapabilities();
  caps->media = {"iso_a4_210x297mm", "na_letter_8.5x11in", "na_legal_8.5x14in", "iso_a3_297x420mm",
                 "iso_a5_148x210mm"};
  caps->orientations = {"portrait", "landscape"};
  caps->sides = {"one-sided"};
  caps->max_copies = 1;
  caps->defaults.media = LocaleDefaultMedia();
  caps->defaults.orientation = "portrait";
  caps->defaults.sides = "one-sided";
  caps->defaults.copies = 1;
}

bool QueryDeviceCapabilities(const std::string& printer_name, DeviceCapabilities* caps) {
  PrinterProfile profile = LoadPrinterProfile();
  const PrinterEntry* entry = FindPrinter(profile, printer_name);
  if (!entry) return false;
  if (entry->driver == "pdf") {
    PdfFileCapabilities(caps);
    return true;
  }
  if (entry->driver == "cups") return QueryCupsCapabilities(entry->name, caps);
  return false;
}

}  // namespace platform
