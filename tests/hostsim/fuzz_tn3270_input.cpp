// Whatever a terminal sends: telnet commands, subnegotiations and 3270
// records in any order and any split, through the whole connection stack.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hostsim/ebcdic.h"
#include "hostsim/inbound_3270.h"
#include "hostsim/lu_registry.h"
#include "hostsim/tn3270_connection.h"

namespace {

std::string g_spool;

void remove_spool() {
  ::unlink((g_spool + "/JOB").c_str());
  ::rmdir(g_spool.c_str());
}

// A spool with one small job, kept in place so that every input finds it.
const std::string& spool_directory() {
  if (g_spool.empty()) {
    char pattern[] = "/tmp/hostsim-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    g_spool = pattern;
    FILE* job = std::fopen((g_spool + "/JOB").c_str(), "wb");
    if (!job) std::abort();
    const char text[] = "fuzz job line\r\n\f";
    if (std::fwrite(text, 1, sizeof text - 1, job) != sizeof text - 1) std::abort();
    if (std::fclose(job) != 0) std::abort();
    std::atexit(remove_spool);
  }
  return g_spool;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hostsim::Spool spool(spool_directory(), hostsim::SpoolOptions{true});
  // The first byte also picks the host: TN3270E offered or not, model 2 or 5,
  // code page 273 or the default; LU1 is always taken by another terminal.
  static hostsim::CodePage cp273 = [] {
    hostsim::CodePage page;
    std::string why;
    if (!hostsim::CodePage::Load("cp273", &page, &why)) std::abort();
    return page;
  }();
  hostsim::LuRegistry lus;
  lus.Claim("LU1");
  const uint8_t pick = size ? data[0] : 0;
  hostsim::WireOptions wire{(pick & 4) ? &cp273 : nullptr, (pick & 2) ? 5 : 2, (pick & 1) == 0,
                            &lus};
  hostsim::Tn3270Connection connection(spool, {}, {}, {}, wire);
  connection.Opening();
  // The first byte decides where the input is split, to exercise partial reads.
  const size_t cut = size ? data[0] % (size + 1) : 0;
  connection.Receive(data, cut);
  connection.TakeReplies();
  connection.Receive(data + cut, size - cut);
  connection.TakeReplies();
  std::string record;
  while (connection.ScreenDue()) {
    if (connection.TakeScreen(&record) != hostsim::Tn3270Connection::ScreenAction::kSend) break;
  }
  hostsim::InboundMessage message;
  hostsim::ParseInbound(std::string(reinterpret_cast<const char*>(data), size), &message);
  // A name the server gives out is one a spool lane can be made of.
  if (!connection.Lu().empty() && !hostsim::ValidLuName(connection.Lu())) __builtin_trap();
  connection.Closed();
  return 0;
}
