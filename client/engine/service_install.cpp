#include "client/engine/service_install.h"

#include <strings.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "client/engine/client_command_line.h"
#include "client/engine/client_state.h"
#include "client/engine/exit_status.h"
#include "client/engine/service_options.h"
#include "client/engine/start_checks.h"
#include "common/command_line.h"
#include "platform/paths.h"
#include "platform/system_service.h"
#include "platform/whole_file.h"

namespace client {

namespace {

// How long removing a running service waits for it to stop.
constexpr int kRemoveStopWaitMs = 10000;

// Options that name files: the service does not start where the
// administrator typed them.
bool NamesPath(const std::string& option) {
  return option == "--config" || option == "--trace" || option == "--metrics-file" ||
         option == "--log-file";
}

// Options that say what to do now rather than how the service runs.
bool InstallOnly(const std::string& option) {
  return option == "--install-service" || option == "--remove-service" || option == "--name" ||
         option == "--service" || option == "--headless" || option == "--unattended";
}

// The old switches among the operands.
bool IsSwitch(const std::string& operand) {
  for (const char* name : {"/CUT", "/PDM", "/D"})
    if (strcasecmp(operand.c_str(), name) == 0) return true;
  return false;
}

// The download directory's operand: the first that is not a switch, as when run.
std::string DirectoryOperand(const common::CommandLine& line) {
  for (const std::string& operand : line.operands)
    if (!IsSwitch(operand)) return operand;
  return "";
}

int Usage(std::FILE* err, const std::string& text) {
  std::fputs(common::UsageErrorText("qorprtt", text).c_str(), err);
  return exit_status::kUsage;
}

// The service's name from --name, or "" after saying why it cannot be one.
std::string ServiceName(const common::CommandLine& line, std::FILE* err) {
  std::string name = line.Has("--name") ? line.Value("--name") : kDefaultServiceName;
  if (!IsInstanceName(name)) {
    Usage(err, "--name wants letters, digits, '.', '_', '-' or '@' (at most 64): " + name);
    return "";
  }
  return name;
}

// What the manager's answer means to the administrator, with its status.
int Refused(const platform::ServiceResult& result, const std::string& name, std::FILE* err) {
  std::string text;
  int status = exit_status::kFailure;
  switch (result.kind) {
    case platform::ServiceResult::kDenied: text = "access denied: run as administrator"; break;
    case platform::ServiceResult::kExists:
      text = "a service named " + name + " exists already: remove it first (--remove-service" +
             (name == kDefaultServiceName ? "" : " --name " + name) + ") or choose another --name";
      break;
    case platform::ServiceResult::kMissing: text = "there is no service named " + name; break;
    case platform::ServiceResult::kUnsupported:
      text = result.error +
             "; on Linux the systemd units run the client as a service: systemctl enable --now "
             "qorprt.service, or qorprt@NAME.service for one per configuration (see "
             "qorprt-service(8))";
      status = exit_status::kUsage;
      break;
    default: text = "the service control manager refused: " + result.error; break;
  }
  std::fprintf(err, "qorprtt: error: %s\n", text.c_str());
  return status;
}

}  // namespace

std::vector<std::string> ServiceArguments(const common::CommandLine& line, const std::string& name,
                                          const std::string& default_log) {
  std::vector<std::string> args = {"--service", name, "--headless"};
  for (const common::CommandLine::Given& given : line.options) {
    const std::string option = given.spec->name;
    if (InstallOnly(option)) continue;
    args.push_back(option);
    if (given.spec->argument)
      args.push_back(NamesPath(option) ? platform::AbsolutePath(given.value) : given.value);
  }
  if (!line.Has("--instance")) args.insert(args.end(), {"--instance", name});
  if (!line.Has("--log-file") && !default_log.empty())
    args.insert(args.end(), {"--log-file", default_log});
  for (const std::string& operand : line.operands)  // /D would trace into the system's directory
    if (IsSwitch(operand) && strcasecmp(operand.c_str(), "/D") != 0) args.push_back(operand);
  if (std::string directory = DirectoryOperand(line); !directory.empty())
    args.push_back(platform::AbsolutePath(directory));
  return args;
}

namespace {

// The download directory, the configuration directory and the log's: what
// the service will need, checked while someone is there to read why.
int CheckServicePlaces(const ClientState& state, bool dir_given, const std::string& log,
                       std::FILE* err) {
  if (!dir_given) return Usage(err, "--install-service needs the download directory");
  if (state.trace_switch)
    return Usage(
        err, "/D traces into the current directory, which a service has not: give --trace FILE");
  StartRefusal refusal = CheckDownloadDirectory(state.download_dir);
  if (refusal.Refused()) {
    std::fprintf(err, "qorprtt: error: %s\n", refusal.text.c_str());
    return refusal.status;
  }
  std::error_code ignored;
  if (!state.config_dir.empty() && !std::filesystem::is_directory(state.config_dir, ignored)) {
    std::fprintf(err, "qorprtt: error: the configuration directory %s is not a directory\n",
                 platform::AbsolutePath(state.config_dir).c_str());
    return exit_status::kConfig;
  }
  std::string log_dir = platform::DirectoryPart(log);
  if (int error = log_dir.empty() ? 0 : platform::MakeDirectories(log_dir); error != 0) {
    std::fprintf(err, "qorprtt: error: cannot make %s for the service's log: %s\n", log_dir.c_str(),
                 std::strerror(error));
    return exit_status::kConfig;
  }
  return exit_status::kOk;
}

// What both commands check first: a service manager to talk to, and the name.
int ServiceCommandStart(const common::CommandLine& line, std::FILE* err, std::string* name) {
  if (platform::ServiceResult none = platform::ServiceManagerPresent();
      none.kind != platform::ServiceResult::kDone)
    return Refused(none, "", err);
  *name = ServiceName(line, err);
  return name->empty() ? exit_status::kUsage : exit_status::kOk;
}

}  // namespace

int InstallServiceCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  common::CommandLine line = common::ParseCommandLine(argc, argv, ClientOptions());
  std::string name;
  if (int status = ServiceCommandStart(line, err, &name); status != exit_status::kOk) return status;
  ClientState state;
  if (std::string problem = ApplyCommandLine(argc, argv, state); !problem.empty())
    return Usage(err, problem);
  const std::string log = line.Has("--log-file") ? platform::AbsolutePath(line.Value("--log-file"))
                                                 : platform::ServiceLogDirectory() + name + ".log";
  if (int status = CheckServicePlaces(state, !DirectoryOperand(line).empty(), log, err);
      status != exit_status::kOk)
    return status;
  platform::ServiceDefinition service;
  service.name = name;
  service.display_name = "Host print jobs (" + name + ")";
  service.description = "Takes print jobs from a 3270 host session into " + state.download_dir +
                        " without a user logged on; log in " + log;
  service.arguments = ServiceArguments(line, name, log);
  if (platform::ServiceResult result = platform::InstallService(service);
      result.kind != platform::ServiceResult::kDone)
    return Refused(result, name, err);
  std::fprintf(out,
               "qorprtt: installed the service %s, started with the system: it takes jobs into "
               "%s and logs to %s. It reads the registry settings of the account it runs as "
               "(LocalSystem unless changed with sc config %s obj=). Start it now with: sc "
               "start %s\n",
               name.c_str(), state.download_dir.c_str(), log.c_str(), name.c_str(), name.c_str());
  return exit_status::kOk;
}

int RemoveServiceCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  common::CommandLine line = common::ParseCommandLine(argc, argv, ClientOptions());
  std::string name;
  if (int status = ServiceCommandStart(line, err, &name); status != exit_status::kOk) return status;
  if (platform::ServiceResult result = platform::RemoveService(name, kRemoveStopWaitMs);
      result.kind != platform::ServiceResult::kDone)
    return Refused(result, name, err);
  std::fprintf(out, "qorprtt: removed the service %s\n", name.c_str());
  return exit_status::kOk;
}

}  // namespace client
