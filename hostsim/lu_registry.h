// The LU names of the terminals connected to one server: a name belongs to
// one terminal at a time, as on a real host.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace hostsim {

// 1 to 8 letters, digits or '$', as the client writes them; the name is
// used in capitals (it also names the spool's lu/NAME/ directory).
bool ValidLuName(std::string_view name);
std::string LuInCapitals(std::string_view name);

class LuRegistry {
 public:
  // False when another terminal holds the name.
  bool Claim(const std::string& name);
  void Release(const std::string& name);
  // A free name of the server's own ("QOR00001", ...), claimed; "" when
  // every one is taken.
  std::string ClaimGeneric();

 private:
  std::set<std::string> in_use_;
  unsigned next_generic_ = 1;
};

}  // namespace hostsim
