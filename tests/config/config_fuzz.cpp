// The configuration program's readers of outside text: the emulator list and
// word lists of its message file, the dialog rows, and the sessions file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_texts.h"
#include "config/emulator_list.h"
#include "config/sessions_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace config;
  std::string text(reinterpret_cast<const char*>(data), size);
  EmulatorTable table = ParseEmulatorList(text);
  for (int k = 0; k < table.count; ++k) {
    const EmulatorRecord& r = table.records[k];
    if (r.adapter[sizeof r.adapter - 1] != '\0' || r.description[sizeof r.description - 1] != '\0')
      __builtin_trap();
    ConfirmationText(&r, "V.DLL", text, text);
  }
  LookUpVendor(text, "QOR32PCS.DLL");
  ParseLookList(text);
  ParseBuildList(text);
  DialogRows(text);
  FindSessionLine(text, 'A');
  std::string replaced = ReplaceSessionLine(text, 'A', common::SessionKind::kSim, "/s");
  if (FindSessionLine(replaced, 'A').empty()) __builtin_trap();
  return 0;
}
