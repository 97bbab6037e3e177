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

using hostsim::ServerOptions;

// A text argument (nullptr when missing) is taken or refused: false with the
// message to print, or with none when the usage says it best.
using TakeText = bool (*)(ServerOptions& o, const char* text, std::string* error);

bool TakeCodePage(ServerOptions& o, const char* text, std::string* error) {
  std::string why;
  if (!text) return false;
  if (hostsim::CodePage::Load(text, &o.code_page, &why)) return true;
  *error = "--codepage " + std::string(text) + ": " + why;
  return false;
}

bool TakeGarbageJob(ServerOptions& o, const char* text, std::string* error) {
  if (text && *text && !std::strchr(text, '/')) {
    o.faults.garbage_job = text;
    return true;
  }
  *error = "--garbage-job needs the name of a job file";
  return false;
}

bool TakeRandomFaults(ServerOptions& o, const char* text, std::string* error) {
  if (ParseRandomFaults(text, &o.faults)) return true;
  *error = "--random-faults needs SEED:PERCENT, e.g. 7:3";
  return false;
}

template <std::string ServerOptions::*kField>
bool TakeString(ServerOptions& o, const char* text, std::string*) {
  if (text) o.*kField = text;
  return text != nullptr;
}

struct Option {
  const char* name;
  const char* argument;                          // as the usage shows it; nullptr: a flag
  const char* help;                              // each line after the first goes under the first
  long low, high;                                // a number's range
  void (*store)(ServerOptions& o, long number);  // a flag or a number
  TakeText take;                                 // else a text
  bool fault;                                    // listed under "faults:"
};

constexpr long kMostScreens = 1L << 30;
constexpr long kCapacities[] = {static_cast<long>(hostsim::kSmallestScreenCapacity),
                                static_cast<long>(hostsim::kLargestScreenSize - 1)};

const Option kOptions[] = {
    {"--port", "N", "TCP port on 127.0.0.1 (0, the default: pick one)", 0, 65535,
     [](ServerOptions& o, long n) { o.port = static_cast<int>(n); }, nullptr, false},
    {"--spool", "DIR",
     "job files; a job moves to DIR/done/ once the terminal's\n"
     "Clear on the end marker acknowledges it, to DIR/failed/\n"
     "when PF3 cancelled it (on its header or during its data);\n"
     "a session that ends before leaves the job in the spool",
     0, 0, nullptr, TakeString<&ServerOptions::spool_directory>, false},
    {"--keep-jobs", nullptr, "leave delivered jobs in place (each is served once per run)", 0, 0,
     [](ServerOptions& o, long) { o.spool.keep_finished = true; }, nullptr, false},
    {"--level", "C", "level letter on the job header screen (default V)", 0, 0, nullptr,
     [](ServerOptions& o, const char* text, std::string*) {
       return text && std::strlen(text) == 1 && (o.session.level = text[0], true);
     },
     false},
    {"--capacity", "N",
     "data characters per screen (default: all a data screen holds,\n"
     "its size less one: 1919 on 24 x 80, 3563 on 27 x 132)",
     kCapacities[0], kCapacities[1],
     [](ServerOptions& o, long n) { o.session.screen_capacity = static_cast<std::size_t>(n); },
     nullptr, false},
    {"--model", "N",
     "2, 3, 4 or 5: data screens on the alternate screen of a\n"
     "3278/3279 model N terminal (Erase/Write Alternate), when\n"
     "the terminal is one; 2 (the default): 24 x 80",
     2, 5, [](ServerOptions& o, long n) { o.model = static_cast<int>(n); }, nullptr, false},
    {"--codepage", "NAME",
     "EBCDIC code page for everything painted and read: bracket\n"
     "(the default), cp037, cp273, cp297, cp500, cp1047, cp1140 ...",
     0, 0, nullptr, TakeCodePage, false},
    {"--tls-cert", "FILE", "PEM certificate (chain); with --tls-key the port speaks TLS only", 0, 0,
     nullptr, TakeString<&ServerOptions::tls_certificate>, false},
    {"--tls-key", "FILE", "PEM private key of the certificate", 0, 0, nullptr,
     TakeString<&ServerOptions::tls_key>, false},
    {"--no-tn3270e", nullptr, "offer plain TN3270 only (TN3270E is offered first otherwise)", 0, 0,
     [](ServerOptions& o, long) { o.offer_tn3270e = false; }, nullptr, false},
    {"--job-poll-ms", "N", "how often idle sessions look for new jobs (default 1000)", 10, 3600000,
     [](ServerOptions& o, long n) { o.job_poll_ms = static_cast<int>(n); }, nullptr, false},
    {"--verbose", nullptr, "log every data screen", 0, 0,
     [](ServerOptions& o, long) { o.session.log_blocks = true; }, nullptr, false},
    {"--delay-ms", "N", "wait N ms before sending each screen", 0, 3600000,
     [](ServerOptions& o, long n) { o.faults.delay_ms = static_cast<int>(n); }, nullptr, true},
    {"--stall-after", "N", "after N data screens, answer nothing more", 0, kMostScreens,
     [](ServerOptions& o, long n) { o.faults.stall_after = n; }, nullptr, true},
    {"--drop-after", "N", "after N data screens, close the connection", 0, kMostScreens,
     [](ServerOptions& o, long n) { o.faults.drop_after = n; }, nullptr, true},
    {"--garbage-at", "N", "send random characters in place of data screen N", 1, kMostScreens,
     [](ServerOptions& o, long n) { o.faults.garbage_at = n; }, nullptr, true},
    {"--garbage-job", "NAME",
     "send random characters in place of every data screen of\n"
     "the job file NAME, in every session: a job that always fails",
     0, 0, nullptr, TakeGarbageJob, true},
    {"--random-faults", "SEED:PERCENT",
     "each data screen has a PERCENT % chance (0 to 100, decimals\n"
     "allowed) of one of the three faults above, drawn from SEED",
     0, 0, nullptr, TakeRandomFaults, true},
};

constexpr int kHelpColumn = 20;

void Usage(FILE* out) {
  std::string text = "Usage: qorhost --spool DIR [OPTION]...\n";
  const std::string indent(kHelpColumn, ' ');
  bool faults = false;
  for (const Option& option : kOptions) {
    if (option.fault && !faults) text += "faults:\n";
    faults = option.fault;
    std::string head = std::string("  ") + option.name;
    if (option.argument) head += std::string(" ") + option.argument;
    // A name too wide for the column keeps two blanks, or a line of its own.
    if (head.size() + 2 <= indent.size())
      head.resize(indent.size(), ' ');
    else
      head += head.size() <= indent.size() ? "  " : "\n" + indent;
    text += head;
    for (const char* c = option.help; *c; ++c)
      text += *c == '\n' ? "\n" + indent : std::string(1, *c);
    text += '\n';
  }
  text +=
      "  --help            show this help and exit\n"
      "  --version         show the program's version and exit\n"
      "Prints \"qorhost listening on 127.0.0.1:PORT\" once it accepts connections.\n"
      "A job is one file in the spool; write it under a name starting with '.' and\n"
      "rename it when complete, so that no half-written job is served. Jobs in\n"
      "SPOOL/lu/NAME/ go only to the terminal connected as LU NAME (in capitals),\n"
      "before the jobs in SPOOL/ itself, which go to any terminal.\n"
      "Exit status: 0 after a stop, 64 usage error, 78 no spool directory, 1 the\n"
      "port cannot be listened on. See qorhost(1).\n";
  std::fputs(text.c_str(), out);
}

constexpr int kExitUsage = 64;   // EX_USAGE
constexpr int kExitConfig = 78;  // EX_CONFIG

int UsageError(const std::string& error) {
  std::fprintf(stderr, "qorhost: %s\nTry 'qorhost --help' for more information.\n", error.c_str());
  return kExitUsage;
}

const Option* FindOption(const std::string& name) {
  for (const Option& o : kOptions)
    if (name == o.name) return &o;
  return nullptr;
}

// Applies one option with its argument (nullptr when missing); the exit
// status of a usage error, or -1.
int TakeOption(const Option& option, const std::string& name, const char* text,
               ServerOptions& options) {
  long number = 0;
  if (option.argument && !text) return UsageError("option '" + name + "' needs an argument");
  if (option.argument && option.store && !ParseNumber(text, option.low, option.high, &number))
    return UsageError(name + " needs a number from " + std::to_string(option.low) + " to " +
                      std::to_string(option.high));
  std::string error;
  if (option.store) {
    option.store(options, number);
    return -1;
  }
  if (option.take(options, text, &error)) return -1;
  return UsageError(error.empty() ? "option '" + name + "' cannot take '" + text + "'" : error);
}

// Reads the command line into options ("--opt VALUE" or "--opt=VALUE"; "--"
// ends them). Returns -1 to go on, else the exit status (0 after --help or
// --version).
int ReadCommandLine(int argc, char** argv, ServerOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--")
      return i + 1 < argc ? UsageError("unexpected operand '" + std::string(argv[i + 1]) + "'")
                          : -1;
    const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg == "-h" ? "--help" : arg.substr(0, equals);
    const bool answer = name == "--help" || name == "--version";
    if (answer && equals != std::string::npos)
      return UsageError("option '" + name + "' takes no argument");
    if (answer) {
      if (name == "--help") Usage(stdout);
      if (name == "--version") std::printf("qorhost %s\n", QOR_VERSION);
      return 0;
    }
    const Option* option = FindOption(name);
    if (!option) {
      return UsageError(arg.rfind("--", 0) == 0           ? "unrecognized option '" + name + "'"
                        : arg.size() > 1 && arg[0] == '-' ? "invalid option '" + arg + "'"
                                                          : "unexpected operand '" + arg + "'");
    }
    if (equals != std::string::npos && !option->argument)
      return UsageError("option '" + name + "' takes no argument");
    const std::string value = equals != std::string::npos ? arg.substr(equals + 1) : "";
    const char* text = equals != std::string::npos        ? value.c_str()
                       : option->argument && i + 1 < argc ? argv[++i]
                                                          : nullptr;
    if (int status = TakeOption(*option, name, text, options); status >= 0) return status;
  }
  return -1;
}

// The spool and the TLS files as the server needs them; otherwise the exit
// status after saying why, else -1.
int CheckOptions(const ServerOptions& options) {
  if (options.spool_directory.empty()) return UsageError("--spool DIR is needed");
  if (options.tls_certificate.empty() != options.tls_key.empty())
    return UsageError("--tls-cert and --tls-key go together");
  struct stat spool_status {};
  if (::stat(options.spool_directory.c_str(), &spool_status) != 0 ||
      !S_ISDIR(spool_status.st_mode)) {
    std::fprintf(stderr, "qorhost: %s is not a directory\n", options.spool_directory.c_str());
    return kExitConfig;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  hostsim::ServerOptions options;
  if (int status = ReadCommandLine(argc, argv, options); status >= 0) return status;
  if (int status = CheckOptions(options); status >= 0) return status;
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
