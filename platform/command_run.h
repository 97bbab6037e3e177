// Runs a command that takes a job on its standard input, without a shell of
// its own, with a time limit and a small environment, while the caller keeps
// serving its own loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct CommandRun {
  std::vector<std::string> words;  // the program (looked up in PATH) and its arguments
  std::string input_path;          // the command's standard input reads this file
  // The environment is PassedEnvironment(), then these NAME=value entries;
  // nothing else of ours reaches the command.
  std::vector<std::string> extra_environment;
  int time_limit_ms = 300000;
};

struct CommandResult {
  bool started = false;
  bool exited = false;  // it ended by itself: exit_status holds its status
  int exit_status = -1;
  int signal = 0;           // the signal that ended it
  std::string signal_name;  // its description ("Killed")
  bool timed_out = false;   // killed when the time limit ran out
  bool stopped = false;     // killed because keep_going said no
  std::string problem;      // why it could not be started
  std::string error_tail;   // the last lines of its standard error
  // Exited with status 0.
  bool Succeeded() const { return exited && exit_status == 0; }
};

// What of this process's environment a command the client starts may see:
// PATH (a plain one when unset), HOME, TZ, LANG, LANGUAGE and the LC_*
// variables, as NAME=value entries.
std::vector<std::string> PassedEnvironment();

// How many lines of the command's standard error are kept.
constexpr int kErrorTailLines = 3;

// Runs the command to its end. keep_going is called about ten times a second
// while it runs; when it answers false the command (its whole process group)
// is killed. The command's standard output is discarded.
CommandResult RunCommand(const CommandRun& run, const std::function<bool()>& keep_going);

// The last lines (at most count, without empty ones) of text, joined by " / ".
std::string LastLines(const std::string& text, int count);

}  // namespace platform
