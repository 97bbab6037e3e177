// The data the configuration program takes from its message file: the
// emulator list ("LISTW95") and the word lists that map adapters to provider
// libraries ("DLLSW95"), drive Auto Config ("LOOKW95") and say where the
// settings go ("BUILDW95").
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace config {

// One emulator of the list; 161 bytes, as the list has always been laid out.
struct EmulatorRecord {
  char adapter[13];                 // adapter library file name, written as "DLL"
  char key_prefix[9];               // prefix of PREFIXFAIL / PREFIXBLURB; empty for "?"
  char extended[9];                 // the APPC word when it starts with 'E'
  unsigned char structured_fields;  // 0 for a word starting with 'N', else 1
  unsigned char appc;               // 0 'N', 2 'E', else 1
  char description[128];
};
static_assert(sizeof(EmulatorRecord) == 161);

struct EmulatorTable {
  static constexpr int kMaxRecords = 64;
  std::array<EmulatorRecord, kMaxRecords> records{};
  int count = 0;
  // Entries that were left out: beyond the 64th, or with an adapter name or
  // key prefix too long to keep (a cut name would name the wrong library).
  int refused_beyond_limit = 0;
  std::vector<std::string> refused_too_long;
};

// Per entry: adapter name, key prefix or "?", structured-fields word, APPC
// word (words separated by blanks or line breaks), then the description up to
// the end of the line. A last entry without all four words is dropped.
EmulatorTable ParseEmulatorList(const std::string& text);

// "DLLSW95": the provider library of the first pair whose adapter name
// matches, ignoring letter case; found is false when none does.
struct VendorLookup {
  bool found = false;
  std::string adapter;  // the pair's spelling of the adapter name
  std::string vendor;
};
VendorLookup LookUpVendor(const std::string& dllsw95, const std::string& adapter_name);

// "LOOKW95" triples and "BUILDW95" pairs; an incomplete tail is ignored.
struct LookEntry {
  std::string vendor;
  char flag = 0;
  std::string adapter;
};
std::vector<LookEntry> ParseLookList(const std::string& lookw95);

struct BuildEntry {
  std::string file_name;
  std::string sub_path;
};
std::vector<BuildEntry> ParseBuildList(const std::string& buildw95);

// The entry whose adapter name matches ignoring case, or -1.
int FindEntry(const EmulatorTable& table, const std::string& adapter_name);

}  // namespace config
