#include "platform/print/printer_profile.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/whole_file.h"

namespace platform {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// Copies text into out (size > 0), cut to fit; returns the characters copied.
size_t CopyCut(const std::string& text, char* out, size_t size) {
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  memcpy(out, text.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace

PrinterProfile ParsePrinterProfile(const std::string& ini_text) {
  PrinterProfile profile;
  enum { kOther, kWindows, kDevices } section = kOther;
  bool have_default = false;
  size_t pos = 0;
  while (pos < ini_text.size()) {
    size_t end = ini_text.find('\n', pos);
    if (end == std::string::npos) end = ini_text.size();
    std::string line = Trim(ini_text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string name =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      section = SameName(name, "windows")   ? kWindows
                : SameName(name, "devices") ? kDevices
                                            : kOther;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
    if (key.empty()) continue;
    if (section == kWindows && SameName(key, "device") && !have_default) {
      profile.default_device = value;
      have_default = true;
    } else if (section == kDevices && !FindPrinter(profile, key)) {
      PrinterEntry entry;
      entry.name = key;
      SplitDriverAndPort(value, &entry.driver, &entry.port);
      profile.devices.push_back(entry);
    }
  }
  return profile;
}

PrinterProfile LoadPrinterProfile() {
  const char* file = std::getenv("QOR_PROFILE");
  if (file && *file) {
    std::string text;
    PrinterProfile profile;
    if (int err = ReadWholeFile(file, &text); err != 0) {
      profile.empty_reason = std::string("The printer profile ") + file +
                             " (QOR_PROFILE) cannot be read: " + std::strerror(err) + ".";
      return profile;
    }
    profile = ParsePrinterProfile(text);
    if (profile.devices.empty())
      profile.empty_reason =
          std::string("The printer profile ") + file + " (QOR_PROFILE) defines no printers.";
    return profile;
  }
  return SystemPrinterProfile();
}

const PrinterEntry* FindPrinter(const PrinterProfile& profile, const std::string& name) {
  for (const PrinterEntry& e : profile.devices)
    if (SameName(e.name, name.c_str())) return &e;
  return nullptr;
}

void SplitDriverAndPort(const std::string& value, std::string* driver, std::string* port) {
  size_t sep = value.find_first_of(", ");
  *driver = value.substr(0, sep);
  port->clear();
  if (sep == std::string::npos) return;
  size_t start = value.find_first_not_of(", ", sep);
  if (start != std::string::npos) *port = Trim(value.substr(start));
}

size_t GetProfileString(const PrinterProfile& profile, const char* section, const char* key,
                        const char* def, char* out, size_t size) {
  if (!out || size == 0) return 0;
  const bool windows = section && strcasecmp(section, "windows") == 0;
  const bool devices = section && strcasecmp(section, "devices") == 0;
  if (key) {
    if (windows && strcasecmp(key, "device") == 0 && !profile.default_device.empty())
      return CopyCut(profile.default_device, out, size);
    if (devices) {
      if (const PrinterEntry* e = FindPrinter(profile, key))
        return CopyCut(e->driver + "," + e->port, out, size);
    }
    return CopyCut(def ? def : "", out, size);
  }
  // Key names, each NUL-terminated, and a closing NUL; names that do not fit
  // whole are left out.
  std::vector<std::string> names;
  if (windows && !profile.default_device.empty()) names.push_back("device");
  if (devices)
    for (const PrinterEntry& e : profile.devices) names.push_back(e.name);
  if (size < 2) {
    out[0] = '\0';
    return 0;
  }
  size_t used = 0;
  for (const std::string& n : names) {
    if (used + n.size() + 1 > size - 1) break;
    memcpy(out + used, n.c_str(), n.size() + 1);
    used += n.size() + 1;
  }
  out[used] = '\0';
  if (used == 0 && size > 1) out[1] = '\0';
  return used;
}

}  // namespace platform
