#include "common/command_line.h"

#include <cstring>

namespace common {

namespace {

constexpr OptionSpec kHelp = {"--help", nullptr, "show this help and exit"};
constexpr OptionSpec kVersion = {"--version", nullptr, "show the program's version and exit"};
constexpr size_t kHelpColumn = 24;

const OptionSpec* FindOption(std::span<const OptionSpec> options, const std::string& name) {
  for (const OptionSpec& o : options)
    if (name == o.name) return &o;
  if (name == kHelp.name) return &kHelp;
  if (name == kVersion.name) return &kVersion;
  return nullptr;
}

// One option word at argv[*i]; false with line->error set when it cannot be read.
bool ReadOption(int argc, const char* const* argv, int* i, std::span<const OptionSpec> options,
                CommandLine* line) {
  std::string word = argv[*i];
  if (word == "-h") word = kHelp.name;
  size_t equals = word.find('=');
  std::string name = word.substr(0, equals);
  const OptionSpec* spec = word.rfind("--", 0) == 0 ? FindOption(options, name) : nullptr;
  if (!spec) {
    line->error = word.rfind("--", 0) == 0 ? "unrecognized option '" + name + "'"
                                           : "invalid option '" + word + "'";
    return false;
  }
  CommandLine::Given given{spec, ""};
  if (!spec->argument) {
    if (equals != std::string::npos) {
      line->error = "option '" + name + "' takes no argument";
      return false;
    }
  } else if (equals != std::string::npos) {
    given.value = word.substr(equals + 1);
  } else if (*i + 1 < argc && argv[*i + 1]) {
    given.value = argv[++*i];
  }
  // No option here means anything by an empty value; it is a slip (an unset
  // shell variable) that would otherwise quietly pick a default.
  if (spec->argument && given.value.empty()) {
    line->error = "option '" + name + "' needs an argument " + spec->argument;
    return false;
  }
  if (spec == &kHelp)
    line->help = true;
  else if (spec == &kVersion)
    line->version = true;
  else
    line->options.push_back(std::move(given));
  return true;
}

void AppendOption(const OptionSpec& o, std::string* text) {
  const std::string indent(kHelpColumn, ' ');
  std::string head = std::string("  ") + o.name;
  if (o.argument) head += std::string(" ") + o.argument;
  // A name too wide for the column gets a line of its own.
  if (head.size() + 2 <= indent.size())
    head.resize(indent.size(), ' ');
  else
    head += "\n" + indent;
  *text += head;
  for (const char* c = o.help; *c; ++c) *text += *c == '\n' ? "\n" + indent : std::string(1, *c);
  *text += '\n';
}

}  // namespace

bool CommandLine::Has(const char* name) const {
  for (const Given& g : options)
    if (std::strcmp(g.spec->name, name) == 0) return true;
  return false;
}

std::string CommandLine::Value(const char* name) const {
  std::string value;
  for (const Given& g : options)
    if (std::strcmp(g.spec->name, name) == 0) value = g.value;
  return value;
}

CommandLine ParseCommandLine(int argc, const char* const* argv,
                             std::span<const OptionSpec> options) {
  CommandLine line;
  bool operands_only = false;
  for (int i = 1; i < argc; ++i) {
    if (!argv[i]) continue;
    std::string word = argv[i];
    if (operands_only || word.size() < 2 || word[0] != '-') {
      line.operands.push_back(word);
    } else if (word == "--") {
      operands_only = true;
    } else if (!ReadOption(argc, argv, &i, options, &line)) {
      break;
    }
  }
  return line;
}

std::string OptionsHelp(std::span<const OptionSpec> options) {
  std::string text;
  for (const OptionSpec& o : options) AppendOption(o, &text);
  AppendOption(kHelp, &text);
  AppendOption(kVersion, &text);
  return text;
}

std::string UsageErrorText(const char* program, const std::string& error) {
  return std::string(program) + ": " + error + "\nTry '" + program +
         " --help' for more information.\n";
}

}  // namespace common
