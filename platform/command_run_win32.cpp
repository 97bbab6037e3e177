#include "platform/command_run.h"

namespace platform {

// Jobs are handed to a command on Linux only: Windows programs read their
// input in too many ways for one rule to fit them.
CommandResult RunCommand(const CommandRun& run, const std::function<bool()>&) {
  CommandResult result;
  result.problem = "running " + (run.words.empty() ? std::string("a command") : run.words[0]) +
                   " for a job is not supported on this system";
  return result;
}

}  // namespace platform
