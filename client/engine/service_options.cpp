#include "client/engine/service_options.h"

#include <cctype>
#include <cstdlib>

#include "client/engine/delivery_settings.h"
#include "common/command_line.h"
#include "platform/paths.h"

namespace client {

bool IsInstanceName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-' &&
        c != '@')
      return false;
  return true;
}

namespace {

// The last name of a configuration directory ("/etc/qorprt/plant2/" -> "plant2").
std::string LastName(std::string dir) {
  while (!dir.empty() && platform::IsPathSeparator(dir.back())) dir.pop_back();
  size_t cut = platform::LastSeparator(dir);
  return cut == std::string::npos ? dir : dir.substr(cut + 1);
}

}  // namespace

std::string ApplyServiceOptions(const common::CommandLine& line, const std::string& config_dir,
                                ServiceOptions& options) {
  // A service's unit sets the command in its environment file.
  const char* setting = std::getenv(kOnJobVariable);
  const std::string command = line.Has("--on-job") ? line.Value("--on-job")
                              : setting            ? setting
                                                   : "";
  options.on_job_shell = line.Has("--on-job-shell");
  if (options.on_job_shell && !command.empty())
    options.on_job = {"/bin/sh", "-c", command};
  else if (std::string problem;
           !command.empty() && !SplitCommandWords(command, &options.on_job, &problem))
    return "--on-job: " + problem;
  if (line.Has("--on-job-timeout")) {
    const std::string text = line.Value("--on-job-timeout");
    char* end = nullptr;
    long seconds = std::strtol(text.c_str(), &end, 10);
    if (*end || seconds < 1 || seconds > 86400)
      return "--on-job-timeout '" + text + "': give seconds from 1 to 86400";
    options.on_job_timeout = static_cast<int>(seconds);
  }
  const std::string format = line.Has("--log-format") ? line.Value("--log-format") : "text";
  if (format != "text" && format != "json")
    return "--log-format '" + format + "': give text or json";
  options.json_log = format == "json";
  if (line.Has("--instance"))
    options.instance = line.Value("--instance");
  else if (!config_dir.empty() && IsInstanceName(LastName(config_dir)))
    options.instance = LastName(config_dir);
  if (!IsInstanceName(options.instance))
    return "--instance '" + options.instance +
           "': give a name of letters, digits, '.', '_', '-' and '@'";
  if (line.Has("--metrics-file"))
    options.metrics_file = platform::AbsolutePath(line.Value("--metrics-file"));
  if (line.Has("--log-file")) options.log_file = platform::AbsolutePath(line.Value("--log-file"));
  options.windows_service = line.Value("--service");
  if (line.Has("--service") && !IsInstanceName(options.windows_service))
    return "--service '" + options.windows_service + "': not a service's name";
  return "";
}

}  // namespace client
