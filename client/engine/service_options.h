// What a service run is told on its command line about reporting beyond its
// log lines: a command after each job, the log's format, the instance its
// status file is named after, and a metrics file.
#pragma once

#include <string>
#include <vector>

namespace common {
struct CommandLine;
}

namespace client {

// The --on-job command when the option is not given.
constexpr const char kOnJobVariable[] = "QOR_ON_JOB";

struct ServiceOptions {
  std::vector<std::string> on_job;   // --on-job CMD as words; empty: none
  bool on_job_shell = false;         // --on-job-shell: CMD goes to /bin/sh -c
  int on_job_timeout = 60;           // --on-job-timeout SECONDS
  bool json_log = false;             // --log-format json
  std::string instance = "default";  // --instance NAME, or --config DIR's last name
  std::string metrics_file;          // --metrics-file PATH, made absolute
  std::string log_file;              // --log-file PATH: the lines go there, not to standard error
  std::string windows_service;       // --service NAME: run by the service control manager
};

// Reads the options above from line; config_dir is --config's value. Returns
// the usage error ("" when none): a command with an open quote, a format
// other than text or json, a time-out outside 1..86400, an instance name
// that is not a plain file name.
std::string ApplyServiceOptions(const common::CommandLine& line, const std::string& config_dir,
                                ServiceOptions& options);

// True for a name of letters, digits, '.', '_', '-' and '@', not starting
// with '.', at most 64 characters: safe as a file name everywhere.
bool IsInstanceName(const std::string& name);

}  // namespace client
