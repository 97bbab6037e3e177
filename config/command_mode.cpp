#include "config/command_mode.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "common/message_file.h"
#include "common/registry_access.h"
#include "common/sessions_line.h"
#include "common/text_helpers.h"
#include "config/configurator.h"
#include "config/search_path.h"
#include "config/session_check.h"
#include "config/sessions_file.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace config {

namespace {

constexpr int kFailed = 1;

// The dialog's boxes as lines: what the dialog would show before a choice is
// written is the reason it was not.
class CommandUi : public ConfigUi {
 public:
  void MessageBox(const std::string& text) override { refusals.push_back(text); }
  void Information(const std::string& text) override { notes.push_back(text); }
  int YesNo(const std::string&) override { return kAnswerYes; }  // the command line asked
  void OfferSessionLine() override { session_wanted = true; }

  std::vector<std::string> refusals;  // the name cannot be used
  std::vector<std::string> notes;
  bool session_wanted = false;
};

struct Context {
  common::MessageFile& messages;
  std::FILE* out;
  std::FILE* err;
};

void Say(std::FILE* to, const std::string& text) {
  std::fprintf(to, "qorcnfig: %s\n", text.c_str());
}

// The key the client reads its settings from: the first place the choice is written.
std::string SettingsKey(common::MessageFile& messages) {
  std::vector<BuildEntry> targets = ParseBuildList(messages.MessageLinesJoined("BUILDW95"));
  return targets.empty() ? "" : targets[0].sub_path;
}

std::string RegistryValue(common::MessageFile& messages, const char* name) {
  common::RegistryAccess key(common::ProgramFlavour::kConfig);
  const char* value =
      key.GetValue(SettingsKey(messages).c_str(), name, common::RegistryOpen::kExisting);
  return value ? value : "";
}

char SessionLetter(common::MessageFile& messages) {
  std::string session = RegistryValue(messages, "SESSION");
  return session.empty() ? 'A'
                         : static_cast<char>(std::toupper(static_cast<unsigned char>(session[0])));
}

std::string SettingsFileName() {
  std::string path = platform::RegistryFilePath();
  return path.empty() ? "the registry (HKEY_CURRENT_USER)" : path;
}

int ChooseAdapter(const CommandRequest& request, const CommandFlags& flags, Context& c) {
  CommandUi ui;
  Configurator configurator(c.messages, ui, flags);
  configurator.LoadList();
  if (request.auto_config) {
    configurator.AutoConfig();
  } else {
    configurator.Select(FindEntry(configurator.GetTable(), request.adapter));
    configurator.Ok(request.adapter);
  }
  if (flags.support_flag) {
    for (const std::string& note : ui.notes) std::fprintf(c.out, "%s\n\n", note.c_str());
    return 0;
  }
  for (const std::string& refusal : ui.refusals)
    Say(c.err, "--adapter " + request.adapter + ": " + refusal);
  if (!ui.refusals.empty()) return common::kExitUsage;
  if (!configurator.Wrote() || !configurator.LastWrite().failures.empty()) {
    for (const std::string& note : ui.notes) Say(c.err, note);
    return configurator.Wrote() || !configurator.LastWrite().failures.empty() ? kFailed
                                                                              : common::kExitConfig;
  }
  std::string dll = RegistryValue(c.messages, "DLL");
  Say(c.out, "adapter " + dll + " written to " + SettingsFileName());
  if (ui.session_wanted && request.session_line.empty() &&
      FindSessionLine(ReadSessionsFile(common::SessionsFilePath()).text, SessionLetter(c.messages))
          .empty())
    Say(c.out, std::string("note: the adapter needs its session's line: give --session ") +
                   (common::SessionKindOffered(common::SessionKind::kS3270)
                        ? "'A s3270 HOST:PORT'"
                        : "'A script 127.0.0.1:PORT'"));
  return 0;
}

int WriteSession(const std::string& given, Context& c) {
  common::SessionLine line;
  std::string problem;
  std::vector<std::string> words = common::SessionLineWords(given);
  if (words.empty()) problem = "the line is empty";
  bool usable = !words.empty() && common::ParseSessionLine(words, &line, &problem);
  if (usable && !common::SessionKindOffered(line.kind)) {
    problem = common::S3270Replacement(line.target);
    usable = false;
  }
  if (!usable) {
    Say(c.err, "--session '" + given + "': " + problem);
    return common::kExitUsage;
  }
  const std::string path = common::SessionsFilePath();
  SessionsFileText file = ReadSessionsFile(path);
  if (!file.readable) {
    Say(c.err, path + ": " + file.error);
    return kFailed;
  }
  std::string reason;
  std::string text = ReplaceSessionLine(file.text, line);
  if (!WriteSessionsFile(path, text, &reason)) {
    Say(c.err, reason);
    return kFailed;
  }
  Say(c.out, "session line written to " + path + ": " + FindSessionLine(text, line.letter));
  if (line.letter != SessionLetter(c.messages))
    Say(c.out, std::string("note: the client uses session ") + SessionLetter(c.messages) +
                   " (value SESSION), not " + line.letter);
  return 0;
}

// Where a library name leads: its file, or why it is not found.
std::string LibraryFile(const std::string& name) {
  std::string found = FindOnSearchPath(name);
  return found.empty() ? "not found beside qorcnfig, in the current directory or on PATH" : found;
}

int Show(Context& c) {
  const std::string sessions = common::SessionsFilePath();
  std::fprintf(c.out, "settings file: %s\n", SettingsFileName().c_str());
  std::fprintf(c.out, "sessions file: %s\n", sessions.c_str());
  if (std::string problem = platform::RegistryFileProblem(); !problem.empty()) {
    Say(c.err, "the settings cannot be used: " + problem);
    return common::kExitConfig;
  }
  std::string dll = RegistryValue(c.messages, "DLL");
  if (dll.empty()) {
    std::fprintf(c.out, "adapter: none (the client offers the built-in demonstration host)\n");
  } else {
    std::fprintf(c.out, "adapter: %s (%s)\n", dll.c_str(), LibraryFile(dll).c_str());
    VendorLookup vendor = LookUpVendor(c.messages.MessageLinesJoined("DLLSW95"), dll);
    if (vendor.found && !common::EqualsIgnoreCase(vendor.vendor, dll))
      std::fprintf(c.out, "provider: %s (%s)\n", vendor.vendor.c_str(),
                   LibraryFile(vendor.vendor).c_str());
  }
  char letter = SessionLetter(c.messages);
  SessionsFileText file = ReadSessionsFile(sessions);
  std::string line = FindSessionLine(file.text, letter);
  std::fprintf(c.out, "session %c: %s\n", letter,
               !file.readable ? file.error.c_str()
               : line.empty() ? "no line in the sessions file"
                              : line.c_str());
  return 0;
}

int Check(Context& c) {
  if (std::string problem = platform::RegistryFileProblem(); !problem.empty()) {
    Say(c.err, "check failed: the settings cannot be used: " + problem);
    return common::kExitConfig;
  }
  std::string dll = RegistryValue(c.messages, "DLL");
  if (dll.empty()) {
    Say(c.err, "check failed: " + SettingsFileName() +
                   " names no adapter (value DLL); give --adapter NAME or --auto");
    return common::kExitConfig;
  }
  char letter = SessionLetter(c.messages);
  SessionReport report = CheckSession(dll, letter);
  if (!report.connected) {
    Say(c.err,
        std::string("check failed: session ") + letter + " through " + dll + ": " + report.cause);
    return report.loaded ? kFailed : common::kExitConfig;
  }
  Say(c.out, std::string("session ") + letter + " through " + dll + ": host screen " +
                 std::to_string(report.rows) + " x " + std::to_string(report.columns) +
                 ", code page " + std::to_string(report.code_page));
  return 0;
}

}  // namespace

int RunCommandMode(const CommandRequest& request, const CommandFlags& flags,
                   const std::string& program_dir, std::FILE* out, std::FILE* err) {
  common::MessageFile messages([err](const char* text) { Say(err, text); });
  std::string path = program_dir + "QORCNFIG.QOR";
  if (messages.MessageFileOpen(path.c_str()) != 1) return common::kExitConfig;
  Context c{messages, out, err};
  int status = 0;
  if (!request.adapter.empty() || request.auto_config) status = ChooseAdapter(request, flags, c);
  if (status == 0 && !request.session_line.empty()) status = WriteSession(request.session_line, c);
  if (status == 0 && request.show) status = Show(c);
  if (status == 0 && request.check) status = Check(c);
  return status;
}

}  // namespace config
