// The printer list and the default printer, read the way the client reads
// the profile sections "windows" and "devices".
//
//   [windows]  device=NAME,DRIVER,PORT   the default printer
//   [devices]  NAME=DRIVER,PORT           one key per printer, in list order
//
// When $QOR_PROFILE names an INI file, that file is the whole truth (a driver
// "pdf" with a file path as port is a printer that writes PDF files).
// Otherwise the sections are built from the system's printers: on Linux each
// CUPS destination is NAME=cups,DEVICE-URI; on Windows each printer is
// NAME=DRIVER,PORT as the system's own profile lists it. "device" names the
// default one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct PrinterEntry {
  std::string name;
  std::string driver;
  std::string port;
};

struct PrinterProfile {
  std::string default_device;  // "NAME,DRIVER,PORT", empty when there is none
  std::vector<PrinterEntry> devices;
  // Why devices is empty, for the user: no print server reachable, no
  // printers defined, a profile that cannot be read. Empty otherwise.
  std::string empty_reason;
};

// $QOR_PROFILE's INI file when set (missing or unreadable: no printers),
// else the system's printers.
PrinterProfile LoadPrinterProfile();

// The sections of an INI text. Section and key names compare
// case-insensitively; the first of duplicate keys wins; lines starting with
// ';' or '#' are comments.
PrinterProfile ParsePrinterProfile(const std::string& ini_text);

// The system's printers: on Linux the destinations of the CUPS server
// (CUPS_SERVER or the local scheduler), on Windows the spooler's local
// printers and connections.
PrinterProfile SystemPrinterProfile();

// The entry of a printer by name (case-insensitive), or null.
const PrinterEntry* FindPrinter(const PrinterProfile& profile, const std::string& name);

// Splits a "DRIVER,PORT" value: tokens are separated by commas and blanks;
// a port may itself contain commas and blanks after the first separator.
void SplitDriverAndPort(const std::string& value, std::string* driver, std::string* port);

// Reads a value of section "windows" or "devices" as the Windows profile call
// does: with a key, its value (or def) cut to fit out and NUL-terminated;
// with a null key, every key name of the section, each NUL-terminated, then
// one more NUL, cut at a whole name when out is too small. Returns the
// number of characters written, without the final NUL.
size_t GetProfileString(const PrinterProfile& profile, const char* section, const char* key,
                        const char* def, char* out, size_t size);

}  // namespace platform
