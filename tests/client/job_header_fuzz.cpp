// Header screens come from the host: any bytes must parse without reading
// past the screen, and the file name made from them must stay a plain name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "client/engine/client_state.h"
#include "client/engine/job_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4000) return 0;
  std::string screen(reinterpret_cast<const char*>(data), size);  // exact size: ASan sees overreads
  client::ClientState state;
  client::JobHeader header;
  client::IsJobHeader(screen.data(), screen.size());
  if (client::ParseJobHeader(screen.data(), screen.size(), header, state) == 0) {
    std::string name = state.job_file_name;
    client::MakeSafeJobFileName(name);
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
      __builtin_trap();
    for (char c : name)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
        __builtin_trap();
    if (std::strlen(header.job_ident) != 14) __builtin_trap();
  }
  return 0;
}
