// The configuration program's command line. The old words: one starting with
// "AUTO" ends the program after the first configuration dialog; one starting
// with "SUPPORT" shows what would be done and writes nothing. Letter case
// does not matter; other words are ignored. The options (--adapter, --auto,
// --session, --show, --check) do their work without a screen; --config
// names the directory of the settings for either way of working.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/command_line.h"

namespace config {

struct CommandFlags {
  bool auto_flag = false;
  bool support_flag = false;
};

CommandFlags ParseCommandFlags(int argc, const char* const* argv);
// The same from words already split off the command line (its operands).
CommandFlags FlagsOfWords(const std::vector<std::string>& words);

// What to do without a screen, in this order: the adapter, the session
// line, then show and check.
struct CommandRequest {
  std::string config_dir;  // "": the per-user places
  std::string adapter;     // --adapter NAME
  bool auto_config = false;
  std::string session_line;  // --session 'LINE'
  bool show = false;
  bool check = false;
  // Whether anything is asked that needs no screen (--config alone does not).
  bool Any() const {
    return !adapter.empty() || auto_config || !session_line.empty() || show || check;
  }
};

struct ConfigCommandLine {
  common::CommandLine line;  // help, version and the usage error
  CommandFlags flags;
  CommandRequest request;
};
ConfigCommandLine ReadConfigCommandLine(int argc, const char* const* argv);

std::span<const common::OptionSpec> ConfigOptions();
std::string ConfigHelpText();

}  // namespace config
