// A program's command line in GNU style: long options from the program's one
// table ("--config DIR" or "--config=DIR"), "--help" and "--version" for
// every program, "--" ending the options. Words that do not start with '-'
// (a directory, the old "/D" or "AUTO" switches) are operands, kept in order
// for the program to read. The same table makes the option part of --help.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace common {

struct OptionSpec {
  const char* name;      // "--config"
  const char* argument;  // as the usage shows it ("DIR"); nullptr: a flag
  const char* help;      // each line after the first goes under the first
};

struct CommandLine {
  struct Given {
    const OptionSpec* spec;
    std::string value;  // "" for a flag
  };
  std::vector<Given> options;  // in the order given
  std::vector<std::string> operands;
  bool help = false;
  bool version = false;
  std::string error;  // a usage error ("unrecognized option '--x'"); "" when none

  bool Has(const char* name) const;
  // The value given last for the option, or "" when it was not given.
  std::string Value(const char* name) const;
};

// Reads argv[1..argc) against options; --help (also -h) and --version are
// known to every program. Stops at the first error.
CommandLine ParseCommandLine(int argc, const char* const* argv,
                             std::span<const OptionSpec> options);

// The option lines of --help, the help texts in one column, --help and
// --version included.
std::string OptionsHelp(std::span<const OptionSpec> options);

// "PROGRAM: ERROR\nTry 'PROGRAM --help' for more information.\n"
std::string UsageErrorText(const char* program, const std::string& error);

// The status of a usage error, as <sysexits.h> has it (EX_USAGE), and of a
// configuration that cannot work (EX_CONFIG).
constexpr int kExitUsage = 64;
constexpr int kExitConfig = 78;

}  // namespace common
