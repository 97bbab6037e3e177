#include "platform/print/print_device_mode.h"

#include "platform/print/print_device.h"

#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool OneOf(const std::string& value, std::initializer_list<const char*> allowed) {
  for (const char* a : allowed)
    if (value == a) return true;
  return false;
}

int MmToUnits(double mm) { return static_cast<int>(std::lround(mm * kDeviceUnitsPerInch / 25.4)); }
int InchToUnits(double in) { return static_cast<int>(std::lround(in * kDeviceUnitsPerInch)); }

}  // namespace

std::string SerializeDeviceMode(const DeviceMode& mode) {
  std::string out;
  auto add = [&out](const char* name, const std::string& value) {
    if (value.empty()) return;
    if (!out.empty()) out += ' ';
    out += name;
    out += '=';
    out += value;
  };
  add("media", mode.media);
  add("orientation", mode.orientation);
  add("sides", mode.sides);
  if (mode.copies > 0) add("copies", std::to_string(mode.copies));
  return out;
}

bool ParseDeviceMode(const std::string& text, DeviceMode* mode) {
  DeviceMode parsed;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r') {
      ++pos;
      continue;
    }
    size_t end = text.find_first_of(" \t\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string pair = text.substr(pos, end - pos);
    pos = end;
    size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    std::string name = pair.substr(0, eq), value = pair.substr(eq + 1);
    if (name == "media") {
      if (value.empty() || value.size() > 64) return false;
      for (char c : value)
        if (!(isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-'))
          return false;
      parsed.media = value;
    } else if (name == "orientation") {
      if (!OneOf(value, {"portrait", "landscape"})) return false;
      parsed.orientation = value;
    } else if (name == "sides") {
      if (!OneOf(value, {"one-sided", "two-sided-long-edge", "two-sided-short-edge"})) return false;
      parsed.sides = value;
    } else if (name == "copies") {
      if (value.empty() || value.size() > 3) return false;
      for (char c : value)
        if (c < '0' || c > '9') return false;
      int copies = std::atoi(value.c_str());
      if (copies < 1) return false;
      parsed.copies = copies;
    }
  }
  *mode = parsed;
  return true;
}

bool MediaSize(const std::string& media, int* width, int* height) {
  struct Known {
    const char* ipp;
    const char* common;
    bool inches;
    double w, h;
  };
  static const Known kKnown[] = {
      {"iso_a4_210x297mm", "A4", false, 210, 297},
      {"na_letter_8.5x11in", "Letter", true, 8.5, 11},
      {"na_legal_8.5x14in", "Legal", true, 8.5, 14},
      {"iso_a3_297x420mm", "A3", false, 297, 420},
      {"iso_a5_148x210mm", "A5", false, 148, 210},
  };
  for (const Known& k : kKnown) {
    if (media == k.ipp || strcasecmp(media.c_str(), k.common) == 0) {
      *width = k.inches ? InchToUnits(k.w) : MmToUnits(k.w);
      *height = k.inches ? InchToUnits(k.h) : MmToUnits(k.h);
      return true;
    }
  }
  // Self-describing IPP names end in <w>x<h>mm or <w>x<h>in.
  size_t last = media.rfind('_');
  if (last == std::string::npos || media.size() - last < 6) return false;
  std::string dims = media.substr(last + 1);
  bool inches = dims.size() > 2 && dims.compare(dims.size() - 2, 2, "in") == 0;
  bool mm = dims.size() > 2 && dims.compare(dims.size() - 2, 2, "mm") == 0;
  if (!inches && !mm) return false;
  char* rest = nullptr;
  double w = std::strtod(dims.c_str(), &rest);
  if (rest == dims.c_str() || *rest != 'x') return false;
  const char* h_start = rest + 1;
  double h = std::strtod(h_start, &rest);
  if (rest == h_start || rest != dims.c_str() + dims.size() - 2) return false;
  if (!(w > 0 && h > 0 && w < 10000 && h < 10000)) return false;
  *width = inches ? InchToUnits(w) : MmToUnits(w);
  *height = inches ? InchToUnits(h) : MmToUnits(h);
  return true;
}

std::string LocaleDefaultMedia() {
  // glibc reports the locale's paper width in millimetres; 216 is Letter.
  // A C or POSIX locale carries no paper size of its own: A4 then.
  const char* paper = std::getenv("LC_PAPER");
  if (!paper || !*paper) paper = std::getenv("LC_ALL");
  if (!paper || !*paper) paper = std::getenv("LANG");
  if (paper && (strstr(paper, "_US") || strstr(paper, "_CA") || strstr(paper, "_MX") ||
                strstr(paper, "_PH") || strstr(paper, "_CL") || strstr(paper, "_CO")))
    return "na_letter_8.5x11in";
  return "iso_a4_210x297mm";
}

PageGeometry GeometryFor(const DeviceMode* mode, const std::string& fallback_media, int margin) {
  PageGeometry g;
  if (!(mode && !mode->media.empty() && MediaSize(mode->media, &g.width, &g.height)) &&
      !MediaSize(fallback_media, &g.width, &g.height))
    MediaSize("iso_a4_210x297mm", &g.width, &g.height);
  if (mode && mode->orientation == "landscape") std::swap(g.width, g.height);
  g.left = g.top = g.right = g.bottom = margin;
  return g;
}

}  // namespace platform
