#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/registry_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::RegistryDocument doc = platform::RegistryDocument::Parse(text);
  if (doc.Problems().empty()) {
    // What we write must read back to the same document.
    std::string once = doc.Serialize();
    platform::RegistryDocument again = platform::RegistryDocument::Parse(once);
    if (!again.Problems().empty() || again.Serialize() != once) __builtin_trap();
  }
  for (const auto& key : doc.Keys()) doc.SubKeys(key.path);
  return 0;
}
