#include "config/command_flags.h"

#include <strings.h>

#include <sstream>
#include <string>

namespace config {

CommandFlags ParseCommandFlags(int argc, const char* const* argv) {
  CommandFlags flags;
  for (int k = 1; k < argc; ++k) {
    if (!argv[k]) continue;
    // A quoted argument may still hold several blank-separated words.
    std::istringstream words(argv[k]);
    for (std::string word; words >> word;) {
      if (::strncasecmp(word.c_str(), "AUTO", 4) == 0) flags.auto_flag = true;
      if (::strncasecmp(word.c_str(), "SUPPORT", 7) == 0) flags.support_flag = true;
    }
  }
  return flags;
}

}  // namespace config
