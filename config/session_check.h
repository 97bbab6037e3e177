// Opens the host session the way the client does, through the adapter
// library and its HLLAPI entry point, to see that the settings work: connect,
// Query Session Status for the screen size and code page, disconnect.
#pragma once

#include <string>

namespace config {

struct SessionReport {
  bool loaded = false;     // the adapter could be loaded
  bool connected = false;  // the session answered
  int rows = 0;
  int columns = 0;
  int code_page = 0;
  std::string cause;  // why not, in the loader's or the provider's words
};

// adapter is a library name as the settings hold it ("QOR32PCS.DLL");
// letter the session's short name.
SessionReport CheckSession(const std::string& adapter, char letter);

}  // namespace config
