// What the configuration dialog does, apart from drawing: the emulator list,
// "Ok" (look the adapter up, check its provider library, confirm, write) and
// "Auto Config". The dialogs it needs are behind ConfigUi, so tests can answer
// them directly.
#pragma once

#include <string>

#include "common/message_file.h"
#include "config/command_flags.h"
#include "config/emulator_list.h"
#include "config/settings_writer.h"

namespace config {

class ConfigUi {
 public:
  virtual ~ConfigUi() = default;
  // A short message box captioned "QORCNFIG".
  virtual void MessageBox(const std::string& text) = 0;
  // The information dialog (rows in a list, an OK button).
  virtual void Information(const std::string& text) = 0;
  // The yes/no dialog: 6 for YES, 7 for NO or closing.
  virtual int YesNo(const std::string& text) = 0;
  // Offered after a confirmed choice of an adapter that reaches its session
  // through the sessions file.
  virtual void OfferSessionLine() = 0;
};

constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class Configurator {
 public:
  enum class Outcome { kStay, kClose };

  Configurator(common::MessageFile& messages, ConfigUi& ui, CommandFlags flags,
               FileFinder find = nullptr);

  // Builds the list from "LISTW95". Returns a notice for the user when
  // entries had to be left out, else "".
  std::string LoadList();
  const EmulatorTable& GetTable() const { return table_; }
  int Selected() const { return selected_; }
  void Select(int index) { selected_ = index >= 0 && index < table_.count ? index : -1; }
  // Selects the listed entry of the adapter the settings name now, if any.
  void SelectConfigured();

  // "Ok": the selected entry, or the typed name when nothing is selected.
  Outcome Ok(const std::string& field_text);

  // "Auto Config". When it settles on one adapter, field holds its name for
  // the dialog's field (and the selection is that adapter's entry, if listed).
  struct AutoResult {
    Outcome outcome = Outcome::kStay;
    bool fill_field = false;
    std::string field;
  };
  AutoResult AutoConfig();

  const WriteReport& LastWrite() const { return last_write_; }
  bool Wrote() const { return wrote_; }

 private:
  bool HasKey(const std::string& key) { return messages_.MessageFind(key.c_str()) != 0; }
  std::string Lines(const std::string& key) { return messages_.MessageLinesJoined(key.c_str()); }
  // The explanation for a missing provider; false when nothing is to be shown.
  bool FailureExplanation(const EmulatorRecord* entry, std::string* text);
  std::string Confirmation(const EmulatorRecord* entry, const std::string& vendor);
  void Write(const AdapterChoice& choice, bool offer_session);

  common::MessageFile& messages_;
  ConfigUi& ui_;
  CommandFlags flags_;
  FileFinder find_;
  EmulatorTable table_;
  int selected_ = -1;
  WriteReport last_write_;
  bool wrote_ = false;
};

}  // namespace config
