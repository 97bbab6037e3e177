#include "hostsim/lu_registry.h"

#include <cctype>
#include <cstdio>

namespace hostsim {

bool ValidLuName(std::string_view name) {
  if (name.empty() || name.size() > 8) return false;
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '$')) return false;
  return true;
}

std::string LuInCapitals(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool LuRegistry::Claim(const std::string& name) { return in_use_.insert(name).second; }

void LuRegistry::Release(const std::string& name) { in_use_.erase(name); }

std::string LuRegistry::ClaimGeneric() {
  for (int tries = 0; tries < 100000; ++tries) {
    char name[16];
    std::snprintf(name, sizeof name, "QOR%05u", next_generic_ % 100000);
    ++next_generic_;
    if (Claim(name)) return name;
  }
  return {};
}

}  // namespace hostsim
