#include "client/engine/start_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "client/engine/client_state.h"
#include "common/sessions_line.h"
#include "hostlink/host_connection.h"
#include "platform/dynamic_library.h"
#include "platform/registry.h"
#include "platform/whole_file.h"

namespace client {

namespace {

std::string SettingsKeyName() {
  return std::string(platform::kCurrentUserRoot) + "\\" + hostlink::kInterfaceSettingsKey;
}

// The library's own file name from a name or a path, in the loader's form.
bool IsDefaultLibrary(const std::string& library_name) {
  size_t slash = library_name.find_last_of("/\\");
  std::string base = slash == std::string::npos ? library_name : library_name.substr(slash + 1);
  return platform::SharedObjectName(base) == platform::SharedObjectName(hostlink::kDefaultLibrary);
}

StartRefusal Refuse(int status, std::string text) { return StartRefusal{status, std::move(text)}; }

StartRefusal NoAdapterChosen() {
  std::string registry = platform::RegistryFilePath();
  std::string where;
  if (registry.empty()) {
    where = "the registry names no emulator adapter (value DLL of " + SettingsKeyName() + ")";
  } else {
    struct stat st {};
    where =
        registry +
        (::stat(registry.c_str(), &st) != 0 ? " does not exist" : " names no emulator adapter") +
        " (value DLL under [" + SettingsKeyName() + "])";
  }
  return Refuse(
      exit_status::kConfig,
      "No host is set up: " + where +
          ", and unattended operation takes the built-in host's demonstration jobs only when asked "
          "to. "
          "Run qorcnfig as the user this runs as, or write the DLL value (such as QOR32PCS.DLL) "
          "there and the session's line in " +
          common::SessionsFilePath() + "; or give --demo for the demonstration jobs.");
}

}  // namespace

StartRefusal CheckStart(int argc, const char* const* argv, const common::Tracer& trace) {
  ClientState state;
  if (std::string problem = ApplyCommandLine(argc, argv, state); !problem.empty())
    return Refuse(exit_status::kUsage, problem);
  bool named = false;
  if (std::string problem = hostlink::HostConnection::CheckInterfaceSettings(
          hostlink::kInterfaceSettingsKey, &named, trace);
      !problem.empty())
    return Refuse(exit_status::kConfig, "The settings cannot be used: " + problem +
                                            ". Correct the file, or remove it and run qorcnfig.");
  bool unattended = state.start_unattended || state.headless;
  if (unattended && !named && !state.demo) return NoAdapterChosen();
  return {};
}

StartRefusal CheckDownloadDirectory(const std::string& directory) {
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0)
    return Refuse(exit_status::kConfig, "The download directory " + directory +
                                            " cannot be used: " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode))
    return Refuse(exit_status::kConfig,
                  "The download directory " + directory + " cannot be used: it is not a directory");
  if (::access(directory.c_str(), W_OK) != 0)
    return Refuse(exit_status::kConfig, "The download directory " + directory +
                                            " cannot be used: it may not be written (" +
                                            std::strerror(errno) + ")");
  return {};
}

StartRefusal LoadAdapterCheck(const hostlink::HostConnection& connection, void** library) {
  std::string error;
  *library = platform::LoadLibrary(connection.library_name, &error);
  if (!*library)
    return Refuse(exit_status::kConfig, "The emulator adapter " + connection.library_name +
                                            " cannot be loaded: " + error);
  if (!platform::GetProcAddress(*library, "QOR_HLLAPI")) {
    UnloadAdapterCheck(*library);
    *library = nullptr;
    return Refuse(exit_status::kConfig, "The library " + connection.library_name +
                                            " is not an emulator adapter (it has no QOR_HLLAPI)");
  }
  return {};
}

void UnloadAdapterCheck(void* library) {
  if (library) platform::FreeLibrary(library);
}

std::string DescribeSession(const hostlink::HostConnection& connection) {
  std::string session = "session " + std::string(1, connection.SessionLetter()) + ": ";
  if (IsDefaultLibrary(connection.library_name)) {
    const char* spool = std::getenv("QOR_SPOOL");
    return session + (spool && *spool ? "built-in host serving " + std::string(spool)
                                      : std::string("built-in host (demonstration)"));
  }
  const std::string file = common::SessionsFilePath();
  std::string text;
  if (int err = platform::ReadWholeFile(file, &text); err != 0)
    return session + "no line (" + file + ": " + std::strerror(err) + ")";
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> words = common::SessionLineWords(line);
    if (words.size() < 2 || words[0].size() != 1 ||
        std::toupper(static_cast<unsigned char>(words[0][0])) != connection.SessionLetter())
      continue;
    std::string shown = words[0];
    for (size_t i = 1; i < words.size(); ++i) shown += " " + words[i];
    return session + shown + " (" + file + ")";
  }
  return session + "no line in " + file;
}

}  // namespace client
