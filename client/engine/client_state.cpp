#include "client/engine/client_state.h"

#include <strings.h>

#include <cstdlib>

#include "client/engine/client_command_line.h"
#include "platform/paths.h"

namespace client {

namespace {

// The old switches and the download directory, scanned backwards so that the
// first plain operand is the one that stays.
bool ApplyOperands(const std::vector<std::string>& operands, ClientState& state) {
  bool from_argument = false;
  for (auto it = operands.rbegin(); it != operands.rend(); ++it) {
    const char* arg = it->c_str();
    if (strcasecmp(arg, "/PDM") == 0) continue;
    if (strcasecmp(arg, "/CUT") == 0) {
      state.cut_mode = true;
    } else if (strcasecmp(arg, "/D") == 0) {
      state.trace_switch = true;
    } else {
      // Absolute: the client changes into the directory of each job it writes.
      state.download_dir = platform::AbsolutePath(*it);
      from_argument = true;
    }
  }
  return from_argument;
}

// A whole number from 1 to limit, else 0.
long Count(const std::string& text, long limit) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  long n = std::strtol(text.c_str(), nullptr, 10);
  return n <= limit ? n : 0;
}

// --print-font FAMILY[,POINTS]
std::string ApplyPrintFont(const std::string& value, Printing& printing) {
  size_t comma = value.rfind(',');
  std::string family = value.substr(0, comma);
  long points = comma == std::string::npos ? 10 : Count(value.substr(comma + 1), 200);
  if (family.empty() || points == 0)
    return "--print-font wants FAMILY or FAMILY,POINTS (1 to 200): " + value;
  printing.selection.printer_font = std::make_unique<platform::PrintFont>(
      platform::FontFromPoints(family, static_cast<int>(points), false, false));
  return "";
}

// Where jobs go besides files and printers: a command, PDFs.
std::string ApplyDeliveryOptions(const common::CommandLine& line, ClientState& state) {
  CommandDelivery& command = state.command;
  command.shell = line.Has("--command-shell");
  command.keep_copy = line.Has("--command-keep");
  if (line.Has("--command")) {
    state.to_command = true;
    command.line = line.Value("--command");
    std::vector<std::string> words;
    std::string problem;
    if (!command.shell && !SplitCommandWords(command.line, &words, &problem))
      return "--command: " + problem;
  }
  if (line.Has("--command-timeout")) {
    command.time_limit_seconds = static_cast<int>(Count(line.Value("--command-timeout"), 86400));
    if (command.time_limit_seconds == 0)
      return "--command-timeout wants a number of seconds from 1 to 86400: " +
             line.Value("--command-timeout");
  }
  if (line.Has("--pdf")) state.pdf = PdfArchive::kBeside;
  if (line.Has("--pdf-only")) state.pdf = PdfArchive::kOnly;
  if (line.Has("--print-font")) return ApplyPrintFont(line.Value("--print-font"), state.printing);
  return "";
}

}  // namespace

std::string ApplyCommandLine(int argc, const char* const* argv, ClientState& state) {
  state.download_dir = platform::CurrentDirectory();
  // The program file's own directory, where the message file and adapters
  // lie, also when the program was found through PATH.
  state.program_dir = platform::ProgramDirectory();
  common::CommandLine line = common::ParseCommandLine(argc, argv, ClientOptions());
  if (!line.error.empty()) return line.error;
  state.demo = line.Has("--demo");
  // Nothing but unattended operation can run without a terminal.
  state.headless = line.Has("--headless");
  state.start_unattended = state.headless || line.Has("--unattended");
  if (line.Has("--trace")) state.trace_file = platform::AbsolutePath(line.Value("--trace"));
  state.config_dir = line.Value("--config");
  if (std::string problem = ApplyDeliveryOptions(line, state); !problem.empty()) return problem;
  if (std::string problem = ApplyServiceOptions(line, state.config_dir, state.service);
      !problem.empty())
    return problem;
  bool from_argument = ApplyOperands(line.operands, state);
  // A cut path would name another directory, one that may well exist.
  if (state.download_dir.size() > ClientState::kDownloadDirMax)
    return std::string(from_argument ? "The download directory"
                                     : "The download directory (the current directory)") +
           " is " + std::to_string(state.download_dir.size()) + " characters long; at most " +
           std::to_string(ClientState::kDownloadDirMax) + " fit: " + state.download_dir;
  return "";
}

}  // namespace client
