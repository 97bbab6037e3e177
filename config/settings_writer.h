// Writes the chosen adapter to the registry: for every "BUILDW95" pair whose
// program is found on the search path, the values SESPARMS, DLL and
// STRUCTUREDFIELDS under the pair's key (HKEY_CURRENT_USER, created when
// missing).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/emulator_list.h"

namespace config {

struct AdapterChoice {
  std::string dll;  // written as "DLL"
  bool structured_fields = false;
};

struct WriteReport {
  int keys_written = 0;
  std::vector<std::string> skipped;   // pairs whose program was not found
  std::vector<std::string> failures;  // readable lines, one per key that failed
};

// find returns the path of a file on the search path, "" when not found.
using FileFinder = std::function<std::string(const std::string& name)>;

WriteReport WriteSettings(const std::vector<BuildEntry>& targets, const AdapterChoice& choice,
                          const FileFinder& find);

}  // namespace config
