// qorhost: the host print application as a TN3270 server on 127.0.0.1.
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "hostsim/host_server.h"

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage(FILE* out) {
  std::fputs(
      "usage: qorhost --spool DIR [options]\n"
      "  --port N          TCP port on 127.0.0.1 (0, the default: pick one)\n"
      "  --spool DIR       job files; a job moves to DIR/done/ once the terminal's\n"
      "                    Clear on the end marker acknowledges it, to DIR/failed/\n"
      "                    when PF3 cancelled it (on its header or during its data);\n"
      "                    a session that ends before leaves the job in the spool\n"
      "  --keep-jobs       leave delivered jobs in place (each is served once per run)\n"
      "  --level C         level letter on the job header screen (default V)\n"
      "  --capacity N      data characters per screen (default: all a data screen holds,\n"
      "                    its size less one: 1919 on 24 x 80, 3563 on 27 x 132)\n"
      "  --model N         2, 3, 4 or 5: data screens on the alternate screen of a\n"
      "                    3278/3279 model N terminal (Erase/Write Alternate), when\n"
      "                    the terminal is one; 2 (the default): 24 x 80\n"
      "  --codepage NAME   EBCDIC code page for everything painted and read: bracket\n"
      "                    (the default), cp037, cp273, cp297, cp500, cp1047, cp1140 ...\n"
      "  --tls-cert FILE   PEM certificate (chain); with --tls-key the port speaks TLS only\n"
      "  --tls-key FILE    PEM private key of the certificate\n"
      "  --no-tn3270e      offer plain TN3270 only (TN3270E is offered first otherwise)\n"
      "  --job-poll-ms N   how often idle sessions look for new jobs (default 1000)\n"
      "  --verbose         log every data screen\n"
      "faults:\n"
      "  --delay-ms N      wait N ms before sending each screen\n"
      "  --stall-after N   after N data screens, answer nothing more\n"
      "  --drop-after N    after N data screens, close the connection\n"
      "  --garbage-at N    send random characters in place of data screen N\n"
      "  --garbage-job NAME  send random characters in place of every data screen of\n"
      "                    the job file NAME, in every session: a job that always fails\n"
      "  --random-faults SEED:PERCENT\n"
      "                    each data screen has a PERCENT % chance (0 to 100, decimals\n"
      "                    allowed) of one of the three faults above, drawn from SEED\n"
      "Prints \"qorhost listening on 127.0.0.1:PORT\" once it accepts connections.\n"
      "A job is one file in the spool; write it under a name starting with '.' and\n"
      "rename it when complete, so that no half-written job is served. Jobs in\n"
      "SPOOL/lu/NAME/ go only to the terminal connected as LU NAME (in capitals),\n"
      "before the jobs in SPOOL/ itself, which go to any terminal.\n",
      out);
}

bool ParseNumber(const char* text, long low, long high, long* value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (errno || *end || v < low || v > high) return false;
  *value = v;
  return true;
}

// SEED:PERCENT, the seed a number from 0 to 4294967295, the percent from 0 to 100.
bool ParseRandomFaults(const char* text, hostsim::FaultPlan* faults) {
  if (!text) return false;
  const char* colon = std::strchr(text, ':');
  if (!colon || !std::isdigit(static_cast<unsigned char>(*text)) || !colon[1]) return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long seed = std::strtoull(text, &end, 10);
  if (errno || end != colon || seed > 0xFFFFFFFFull) return false;
  const double percent = std::strtod(colon + 1, &end);
  if (errno || *end || !(percent >= 0 && percent <= 100)) return false;
  faults->random_seed = static_cast<uint32_t>(seed);
  faults->random_percent = percent;
  return true;
}

void LogLine(const std::string& line) {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm local{};
  localtime_r(&tv.tv_sec, &local);
  std::fprintf(stderr, "qorhost %02d:%02d:%02d.%03ld %s\n", local.tm_hour, local.tm_min,
               local.tm_sec, static_cast<long>(tv.tv_usec / 1000), line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  hostsim::ServerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    long value = 0;
    auto number = [&](long low, long high) {
      if (!ParseNumber(next, low, high, &value)) {
        std::fprintf(stderr, "qorhost: %s needs a number from %ld to %ld\n", arg.c_str(), low,
                     high);
        std::exit(2);
      }
      ++i;
      return value;
    };
    if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return 0;
    } else if (arg == "--port") {
      options.port = static_cast<int>(number(0, 65535));
    } else if (arg == "--spool" && next) {
      options.spool_directory = next;
      ++i;
    } else if (arg == "--keep-jobs") {
      options.spool.keep_finished = true;
    } else if (arg == "--level" && next && std::strlen(next) == 1) {
      options.session.level = next[0];
      ++i;
    } else if (arg == "--capacity") {
      options.session.screen_capacity =
          static_cast<std::size_t>(number(static_cast<long>(hostsim::kSmallestScreenCapacity),
                                          static_cast<long>(hostsim::kLargestScreenSize - 1)));
    } else if (arg == "--model") {
      options.model = static_cast<int>(number(2, 5));
    } else if (arg == "--codepage" && next) {
      std::string why;
      if (!hostsim::CodePage::Load(next, &options.code_page, &why)) {
        std::fprintf(stderr, "qorhost: --codepage %s: %s\n", next, why.c_str());
        return 2;
      }
      ++i;
    } else if (arg == "--tls-cert" && next) {
      options.tls_certificate = next;
      ++i;
    } else if (arg == "--tls-key" && next) {
      options.tls_key = next;
      ++i;
    } else if (arg == "--no-tn3270e") {
      options.offer_tn3270e = false;
    } else if (arg == "--job-poll-ms") {
      options.job_poll_ms = static_cast<int>(number(10, 3600000));
    } else if (arg == "--verbose") {
      options.session.log_blocks = true;
    } else if (arg == "--delay-ms") {
      options.faults.delay_ms = static_cast<int>(number(0, 3600000));
    } else if (arg == "--stall-after") {
      options.faults.stall_after = number(0, 1L << 30);
    } else if (arg == "--drop-after") {
      options.faults.drop_after = number(0, 1L << 30);
    } else if (arg == "--garbage-at") {
      options.faults.garbage_at = number(1, 1L << 30);
    } else if (arg == "--garbage-job") {
      if (!next || !*next || std::strchr(next, '/')) {
        std::fprintf(stderr, "qorhost: --garbage-job needs the name of a job file\n");
        return 2;
      }
      options.faults.garbage_job = next;
      ++i;
    } else if (arg == "--random-faults") {
      if (!ParseRandomFaults(next, &options.faults)) {
        std::fprintf(stderr, "qorhost: --random-faults needs SEED:PERCENT, e.g. 7:3\n");
        return 2;
      }
      ++i;
    } else {
      std::fprintf(stderr, "qorhost: unknown or incomplete option %s\n", arg.c_str());
      Usage(stderr);
      return 2;
    }
  }
  if (options.spool_directory.empty()) {
    Usage(stderr);
    return 2;
  }
  if (options.tls_certificate.empty() != options.tls_key.empty()) {
    std::fprintf(stderr, "qorhost: --tls-cert and --tls-key go together\n");
    return 2;
  }
  struct stat spool_status {};
  if (::stat(options.spool_directory.c_str(), &spool_status) != 0 ||
      !S_ISDIR(spool_status.st_mode)) {
    std::fprintf(stderr, "qorhost: %s is not a directory\n", options.spool_directory.c_str());
    return 2;
  }

  // Signals are blocked except while the server waits, so a stop request is never missed.
  sigset_t blocked, wait_mask;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigprocmask(SIG_BLOCK, &blocked, &wait_mask);
  sigdelset(&wait_mask, SIGINT);
  sigdelset(&wait_mask, SIGTERM);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  hostsim::HostServer server(options, LogLine);
  std::string problem;
  if (!server.Listen(&problem)) {
    std::fprintf(stderr, "qorhost: %s\n", problem.c_str());
    return 1;
  }
  std::printf("qorhost listening on 127.0.0.1:%d\n", server.Port());
  std::fflush(stdout);
  LogLine("serving jobs from " + options.spool_directory + ", code page " +
          options.code_page.Name() +
          (options.model > 2 ? ", model " + std::to_string(options.model) : "") +
          (options.tls_certificate.empty() ? "" : ", TLS only"));
  if (options.faults.random_percent > 0) {
    char line[96];
    std::snprintf(line, sizeof line, "random faults: %g %% of data screens, seed %u",
                  options.faults.random_percent, static_cast<unsigned>(options.faults.random_seed));
    LogLine(line);
  }
  server.Run(&g_stop, &wait_mask);
  LogLine("stopped");
  return 0;
}
