#include "client/windows/interface_windows.h"

#include <dirent.h>
#include <algorithm>
#include <cctype>

#include "client/windows/help_window.h"
#include "common/message_file.h"
#include "platform/registry_document.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"

namespace client::windows {

namespace {

constexpr int kLibraryChosen = 20030;
constexpr size_t kMaxLibraries = 10;

// The help's message file is the program's.
std::string MessageCopy(DialogKit& ui, const char* key) {
  const char* text =
      ui.help.messages.MessageText(key, common::MessageFile::TextLife::kUntilNextLookup);
  return text ? text : "";
}

// OK, Cancel and Help in a row; Help shows its topic and the window stays.
class SettingsWindow : public tk::Window {
 public:
  SettingsWindow(DialogKit& ui, tk::Rect rect, std::string title, const char* help_topic)
      : tk::Window(rect, std::move(title)), ui_(ui), help_topic_(help_topic) {}
  int HandleEvent(const tk::Event& e) override {
    if (e.kind == tk::EventKind::kCommand && e.code == cmd::kHelp) {
      ShowHelp(ui_.help, help_topic_);
      return 0;
    }
    if (e.kind == tk::EventKind::kCommand && e.code == kLibraryChosen) {
      chosen_library = e.text;
      return 0;
    }
    return tk::Window::HandleEvent(e);
  }
  void AddButtons(int row) {
    int width = NormalRect().width - 2;
    int x = (width - 34) / 2;
    Add<tk::Button>(tk::Rect{x, row, 10, 1}, ui_.texts("OK"), cmd::kOk);
    Add<tk::Button>(tk::Rect{x + 12, row, 10, 1}, ui_.texts("CANCEL"), cmd::kCancel);
    Add<tk::Button>(tk::Rect{x + 24, row, 10, 1}, ui_.texts("HELP"), cmd::kHelp);
  }
  std::string chosen_library;

 private:
  DialogKit& ui_;
  const char* help_topic_;
};

}  // namespace

std::vector<std::string> FindAdapterLibraries(const std::string& program_dir) {
  std::vector<std::string> names;
  DIR* d = opendir(program_dir.empty() ? "." : program_dir.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    // The counterpart of "QOR*.DLL": our adapters are qor*.so.
    if (name.size() < 6 || !platform::EqualsIgnoreCase(name.substr(0, 3), "qor") ||
        !platform::EqualsIgnoreCase(name.substr(name.size() - 3), ".so"))
      continue;
    std::string shown = name.substr(0, name.size() - 3);
    for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.push_back(shown + ".DLL");
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  if (names.size() > kMaxLibraries) names.resize(kMaxLibraries);
  return names;
}

void RunInterfaceSettingsWindow(DialogKit& ui, hostlink::HostConnection& conn,
                                const std::string& program_dir) {
  std::vector<std::string> libraries = FindAdapterLibraries(program_dir);
  // The built-in host stays choosable next to the adapters.
  if (!libraries.empty() &&
      std::find(libraries.begin(), libraries.end(), "RAZEVU3.DLL") == libraries.end())
    libraries.insert(libraries.begin(), "RAZEVU3.DLL");

  const int width = 52, height = libraries.empty() ? 11 : 12;
  SettingsWindow window(ui, tk::Rect{0, 0, width, height}, ui.texts("3270TITLE"), "3270INTF");
  const int label_w = 20, field_x = 22;
  window.Add<tk::Label>(tk::Rect{1, 0, label_w, 1}, ui.texts("SESSID"));
  auto& session = window.Add<tk::TextField>(tk::Rect{field_x, 0, 3, 1}, 1, true);
  session.SetText(std::string(1, conn.SessionLetter()));
  window.Add<tk::Label>(tk::Rect{1, 2, label_w, 1}, ui.texts("TIMEOUT"));
  auto& timeout = window.Add<tk::IntField>(tk::Rect{field_x, 2, 9, 1}, 1, 14400,
                                           std::clamp(conn.timeout, 1, 14400));
  window.Add<tk::Label>(tk::Rect{1, 3, label_w, 1}, ui.texts("FLICKER"));
  auto& flicker =
      window.Add<tk::IntField>(tk::Rect{field_x, 3, 6, 1}, 1, 10, std::clamp(conn.flicker, 1, 10));
  window.Add<tk::Label>(tk::Rect{1, 4, label_w, 1}, ui.texts("EMULATOR"));
  auto& emulator = window.Add<tk::TextField>(tk::Rect{field_x, 4, 7, 1}, 5, true);
  emulator.SetText(hostlink::HostConnection::ShownKindWord(conn.session_type));
  if (!libraries.empty()) {
    window.Add<tk::Label>(tk::Rect{1, 6, label_w, 1}, MessageCopy(ui, "DLLNAM"));
    auto& list = window.Add<tk::DropDownList>(tk::Rect{field_x, 6, 20, 1}, kLibraryChosen,
                                              static_cast<int>(libraries.size()));
    for (const auto& name : libraries) list.AddItem(name);
    list.SelectText(conn.library_name);
  }
  window.AddButtons(height - 4);
  window.Center(ui.wm.ScreenSize());

  if (ui.wm.RunModal(window, {cmd::kOk, cmd::kCloseModal}) != cmd::kOk) return;
  std::string letter = session.GetText();
  if (!letter.empty()) conn.session_number = static_cast<unsigned char>(letter[0]) - 64;
  std::string kind = emulator.GetText();
  conn.session_type = kind.empty() ? 0 : kind[0];
  conn.timeout = static_cast<int>(timeout.Value());
  conn.flicker = static_cast<int>(flicker.Value());
  if (!window.chosen_library.empty()) conn.library_name = window.chosen_library;
  conn.SaveInterfaceSettings();
}

void RunSessionParametersWindow(DialogKit& ui, hostlink::HostConnection& conn) {
  SettingsWindow window(ui, tk::Rect{0, 0, 52, 10}, ui.texts("PARMTITLE"), "3270PARMS");
  auto& field = window.Add<tk::TextField>(
      tk::Rect{1, 0, 47, 1}, static_cast<int>(hostlink::HostConnection::kSessionParametersMax),
      true);
  field.SetText(conn.GetSessionParameters().value_or(""));
  const char* keys[] = {"PARMS1", "PARMS2", "PARMS3"};
  for (int i = 0; i < 3; ++i)
    window.Add<tk::Text>(tk::Rect{1, 2 + i, 48, 1}, MessageCopy(ui, keys[i]));
  window.AddButtons(6);
  window.Center(ui.wm.ScreenSize());
  if (ui.wm.RunModal(window, {cmd::kOk, cmd::kCloseModal}) != cmd::kOk) return;
  conn.SetSessionParameters(field.GetText().c_str());
}

}  // namespace client::windows
