#include "client/engine/client_command_line.h"

#include <array>

#include "client/engine/client_core.h"
#include "client/engine/client_state.h"
#include "common/trace.h"
#include "platform/config_file.h"

namespace client {

namespace {

// Where the files are on each system: the settings live in the registry on Windows and in a file on
// Linux; the other files sit in each system's own per-user directories.
#ifdef _WIN32
constexpr const char kEnvironmentHelp[] =
    "  QOR_CONFIG_DIR        the directory of the configuration files (--config\n"
    "                        sets it, and the emulator providers read it)\n"
    "  QOR_SESSIONS          the emulator sessions file\n"
    "  QOR_SETTINGS          the first-run marker file QORPRTW.INI\n"
    "  QOR_TRANSFER_LOG      the transfer log on disk\n"
    "  QOR_EMULATOR_LOG      where the emulator providers write their errors\n"
    "  QOR_SPOOL             the spool of the default adapter's built-in host\n"
    "  QOR_ON_JOB            the command after each job when --on-job is not given\n"
    "  QOR_STATUS_DIR        the directory of the status file NAME.status\n"
    "                        (unset: %LOCALAPPDATA%\\qorprt)\n"
    "  APPDATA, LOCALAPPDATA the folders of the defaults below\n\n";
constexpr const char kFilesHelp[] =
    "  HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT, %APPDATA%\\qorprt\\sessions\n"
    "  %LOCALAPPDATA%\\qorprt\\transfer.log, %LOCALAPPDATA%\\qorprt\\emulator.log\n\n";
#else
constexpr const char kEnvironmentHelp[] =
    "  QOR_CONFIG_DIR        the directory of the configuration files (--config\n"
    "                        sets it, and the emulator providers read it)\n"
    "  QOR_REGISTRY          the settings file (REGEDIT4 text)\n"
    "  QOR_SESSIONS          the emulator sessions file\n"
    "  QOR_SETTINGS          the first-run marker file QORPRTW.INI\n"
    "  QOR_TRANSFER_LOG      the transfer log on disk\n"
    "  QOR_EMULATOR_LOG      where the emulator providers write their errors\n"
    "  QOR_SPOOL             the spool of the default adapter's built-in host\n"
    "  QOR_ON_JOB            the command after each job when --on-job is not given\n"
    "  XDG_CONFIG_HOME, XDG_STATE_HOME move the defaults below\n"
    "  QOR_STATUS_DIR        the directory of the status file NAME.status\n"
    "  XDG_RUNTIME_DIR       where it goes when that is unset (in qorprt/;\n"
    "                        unset: the state directory below)\n\n";
constexpr const char kFilesHelp[] =
    "  ~/.config/qorprt/registry.reg, ~/.config/qorprt/sessions\n"
    "  ~/.local/state/qorprt/transfer.log, ~/.local/state/qorprt/emulator.log\n\n";
#endif

constexpr std::array kOptions = {
    common::OptionSpec{"--unattended", nullptr,
                       "take every job at once into DOWNLOAD_DIR; without a\n"
                       "terminal the client runs headless"},
    common::OptionSpec{"--headless", nullptr,
                       "unattended with no window even on a terminal: status,\n"
                       "messages and log entries as lines on standard error"},
    common::OptionSpec{"--demo", nullptr,
                       "unattended on the built-in host's demonstration jobs\n"
                       "when the settings name no adapter"},
    common::OptionSpec{"--config", "DIR",
                       "read registry.reg, sessions and QORPRTW.INI from DIR\n"
                       "(such as /etc/qorprt) instead of the per-user places"},
    common::OptionSpec{"--trace", "FILE", "switch the diagnostic trace on, appending to FILE"},
    common::OptionSpec{"--command", "CMD",
                       "hand each job to CMD on its standard input (split into\n"
                       "words, no shell); the job counts as delivered when CMD\n"
                       "exits 0"},
    common::OptionSpec{"--command-shell", nullptr, "run CMD through /bin/sh -c"},
    common::OptionSpec{"--command-timeout", "SECONDS",
                       "kill CMD after SECONDS (default 300): the job is kept"},
    common::OptionSpec{"--command-keep", nullptr, "keep the job's file also when CMD took the job"},
    common::OptionSpec{"--pdf", nullptr, "write NAME.pdf beside each job's file"},
    common::OptionSpec{"--pdf-only", nullptr, "write each job as NAME.pdf instead of NAME"},
    common::OptionSpec{"--print-font", "FAMILY[,POINTS]",
                       "the font of printed and PDF pages (default monospace,10)"},
    common::OptionSpec{"--on-job", "CMD",
                       "run CMD (words, no shell) after each job a service\n"
                       "delivers, keeps incomplete or sets aside, with the\n"
                       "job's facts in QOR_JOB_* variables"},
    common::OptionSpec{"--on-job-shell", nullptr, "run the --on-job command with /bin/sh -c"},
    common::OptionSpec{"--on-job-timeout", "SECONDS",
                       "kill an --on-job command still running after\n"
                       "SECONDS (default 60)"},
    common::OptionSpec{"--log-format", "FORMAT",
                       "text (the default) or json: one JSON object per\n"
                       "line on standard error"},
    common::OptionSpec{"--instance", "NAME",
                       "name of the status file (default: the --config\n"
                       "directory's name, else \"default\")"},
    common::OptionSpec{"--metrics-file", "PATH",
                       "keep the job counts in PATH in Prometheus's text\n"
                       "format"},
    common::OptionSpec{"--log-file", "FILE",
                       "append the lines of --headless to FILE instead of\n"
                       "standard error"},
    common::OptionSpec{"--install-service", nullptr,
                       "register the headless client taking jobs into\n"
                       "DOWNLOAD_DIR as a Windows service started with the\n"
                       "system, with the other options given (run as\n"
                       "administrator; Linux has the systemd units)"},
    common::OptionSpec{"--remove-service", nullptr, "stop and remove the Windows service --name"},
    common::OptionSpec{"--name", "NAME",
                       "the service's name for the two options above\n"
                       "(default qorprt)"},
    common::OptionSpec{"--service", "NAME",
                       "run as the Windows service NAME (put there by\n"
                       "--install-service)"},
    common::OptionSpec{"--status", nullptr,
                       "print the status of the running service NAME (the\n"
                       "first operand, else as --instance) and exit: 0\n"
                       "healthy, 2 needs attention, 3 not running"},
    common::OptionSpec{"--json", nullptr, "with --status: print JSON"},
};

}  // namespace

std::span<const common::OptionSpec> ClientOptions() { return kOptions; }

std::string ClientHelpText() {
  return "Usage: qorprtt [OPTION]... [/D] [/CUT] [/PDM] [DOWNLOAD_DIR]\n"
         "  or:  qorprtt --status [--json] [NAME]\n"
         "  or:  qorprtt --install-service [--name NAME] [OPTION]... DOWNLOAD_DIR\n"
         "  or:  qorprtt --remove-service [--name NAME]\n"
         "Take print jobs from a 3270 host session to files in DOWNLOAD_DIR (default:\n"
         "the current directory) or to a printer.\n\n"
         "Options:\n" +
         common::OptionsHelp(kOptions) +
         "  /D                    trace afresh to QORPRTW.TRC in the current directory\n"
         "  /CUT                  cut mode: the host sends length-prefixed screens\n"
         "  /PDM                  accepted, no effect\n\n"
         "Environment:\n" +
         std::string(kEnvironmentHelp) + "Files:\n" + kFilesHelp +
         "Exit status: 0 ended as asked, 64 usage error, 78 a configuration that\n"
         "cannot work, 1 any other failure. See qorprtt(1).\n";
}

bool StartCommandLineTrace(const ClientState& state, common::Tracer& trace) {
  if (!state.trace_file.empty())
    return trace.Start(state.trace_file.c_str(), common::TraceMode::kAppend);
  if (state.trace_switch) trace.Start(kClientTraceFile, common::TraceMode::kFresh);
  return true;
}

}  // namespace client
