#include "config/command_flags.h"

#include <strings.h>

#include <array>
#include <sstream>

namespace config {

namespace {

// Where the files are, and a session line that works, on each system.
#ifdef _WIN32
constexpr const char kSessionHelp[] =
    "write LINE (such as 'A script 127.0.0.1:4010') to the\n"
    "sessions file, replacing the line of its letter";
constexpr const char kEnvironmentHelp[] =
    "  QOR_CONFIG_DIR        the directory of the sessions file (--config sets it)\n"
    "  QOR_SESSIONS          the emulator sessions file\n"
    "  APPDATA               the folder of the default sessions file below\n\n";
constexpr const char kFilesHelp[] =
    "  HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT, %APPDATA%\\qorprt\\sessions\n\n";
#else
constexpr const char kSessionHelp[] =
    "write LINE (such as 'A s3270 host:23') to the sessions\n"
    "file, replacing the line of its letter";
constexpr const char kEnvironmentHelp[] =
    "  QOR_CONFIG_DIR        the directory of the settings (--config sets it)\n"
    "  QOR_REGISTRY          the settings file (REGEDIT4 text)\n"
    "  QOR_SESSIONS          the emulator sessions file\n"
    "  XDG_CONFIG_HOME       moves the default directory below\n\n";
constexpr const char kFilesHelp[] =
    "  ~/.config/qorprt/registry.reg, ~/.config/qorprt/sessions\n\n";
#endif

constexpr std::array kOptions = {
    common::OptionSpec{"--config", "DIR",
                       "read and write registry.reg and sessions in DIR (such as\n"
                       "/etc/qorprt) instead of the per-user places"},
    common::OptionSpec{"--adapter", "NAME",
                       "choose the emulator adapter NAME (such as QOR32PCS.DLL),\n"
                       "checked and written as the configuration dialog does"},
    common::OptionSpec{"--auto", nullptr, "choose the adapter as Auto Config does"},
    common::OptionSpec{"--session", "LINE", kSessionHelp},
    common::OptionSpec{"--show", nullptr,
                       "show what the client would use: adapter, libraries,\n"
                       "session line and the settings files"},
    common::OptionSpec{"--check", nullptr,
                       "open the session through the adapter as the client does\n"
                       "and report the host's screen size and code page"},
};

}  // namespace

std::span<const common::OptionSpec> ConfigOptions() { return kOptions; }

CommandFlags FlagsOfWords(const std::vector<std::string>& arguments) {
  CommandFlags flags;
  for (const std::string& argument : arguments) {
    // A quoted argument may still hold several blank-separated words.
    std::istringstream words(argument);
    for (std::string word; words >> word;) {
      if (::strncasecmp(word.c_str(), "AUTO", 4) == 0) flags.auto_flag = true;
      if (::strncasecmp(word.c_str(), "SUPPORT", 7) == 0) flags.support_flag = true;
    }
  }
  return flags;
}

CommandFlags ParseCommandFlags(int argc, const char* const* argv) {
  std::vector<std::string> words;
  for (int k = 1; k < argc; ++k)
    if (argv[k]) words.emplace_back(argv[k]);
  return FlagsOfWords(words);
}

ConfigCommandLine ReadConfigCommandLine(int argc, const char* const* argv) {
  ConfigCommandLine result;
  result.line = common::ParseCommandLine(argc, argv, kOptions);
  const common::CommandLine& line = result.line;
  result.flags = FlagsOfWords(line.operands);
  CommandRequest& r = result.request;
  r.config_dir = line.Value("--config");
  r.adapter = line.Value("--adapter");
  r.auto_config = line.Has("--auto");
  r.session_line = line.Value("--session");
  r.show = line.Has("--show");
  r.check = line.Has("--check");
  if (line.error.empty() && r.auto_config && !r.adapter.empty())
    result.line.error = "--adapter and --auto choose the adapter two ways: give one";
  return result;
}

std::string ConfigHelpText() {
  return "Usage: qorcnfig [AUTO] [SUPPORT]\n"
         "  or:  qorcnfig [--config DIR] [--adapter NAME | --auto] [--session LINE]\n"
         "                [--show] [--check]\n"
         "Choose the emulator adapter and the host session qorprtt uses. Without the\n"
         "options below the configuration program runs full-screen in the terminal;\n"
         "with any of them it works without a screen, in the order shown.\n\n"
         "Options:\n" +
         common::OptionsHelp(kOptions) +
         "  AUTO                  full-screen: end after the first configuration dialog\n"
         "  SUPPORT               show what would be done and write nothing\n\n"
         "Environment:\n" +
         std::string(kEnvironmentHelp) + "Files:\n" + kFilesHelp +
         "Exit status (without a screen): 0 done, 64 usage error, 78 a configuration\n"
         "that cannot work, 1 a failed check or write. See qorcnfig(1).\n";
}

}  // namespace config
