#include "config/configurator.h"
#include "common/text_helpers.h"

#include <strings.h>

#include "common/registry_access.h"
#include "config/config_texts.h"
#include "config/search_path.h"

namespace config {

Configurator::Configurator(common::MessageFile& messages, ConfigUi& ui, CommandFlags flags,
                           FileFinder find)
    : messages_(messages), ui_(ui), flags_(flags), find_(std::move(find)) {
  if (!find_) find_ = [](const std::string& name) { return FindOnSearchPath(name); };
}

std::string Configurator::LoadList() {
  table_ = ParseEmulatorList(Lines("LISTW95"));
  selected_ = -1;
  std::string notice;
  if (table_.refused_beyond_limit > 0) {
    notice = "Only the first " + std::to_string(EmulatorTable::kMaxRecords) +
             " entries of the emulator list are shown (" +
             std::to_string(table_.refused_beyond_limit) + " more left out).";
  }
  for (const std::string& name : table_.refused_too_long) {
    if (!notice.empty()) notice += "\n";
    notice += "The entry " + name.substr(0, 40) +
              " is left out: its adapter name or key prefix is too long.";
  }
  return notice;
}

bool Configurator::FailureExplanation(const EmulatorRecord* entry, std::string* text) {
  if (entry && entry->key_prefix[0] != '\0') {
    std::string key = std::string(entry->key_prefix) + "FAIL";
    if (HasKey(key)) {
      *text = Lines(key);
      return true;
    }
    // SUPPORT reports only what the entry itself explains.
    if (flags_.support_flag) return false;
  }
  *text = Lines("FAILW95");
  return true;
}

std::string Configurator::Confirmation(const EmulatorRecord* entry, const std::string& vendor) {
  std::string eappc = entry && entry->appc == 2 ? Lines("EAPPC") : std::string();
  std::string blurb;
  if (entry && entry->key_prefix[0] != '\0') {
    std::string key = std::string(entry->key_prefix) + "BLURB";
    if (HasKey(key)) blurb = Lines(key);
  }
  return ConfirmationText(entry, vendor, eappc, blurb);
}

Configurator::Outcome Configurator::Ok(const std::string& field_text) {
  const EmulatorRecord* entry = selected_ >= 0 ? &table_.records[selected_] : nullptr;
  std::string name = entry ? std::string(entry->adapter) : field_text;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(0, 1);
  if (name.empty()) {
    ui_.MessageBox("No DLL Specified");
    return Outcome::kStay;
  }
  VendorLookup lookup = LookUpVendor(Lines("DLLSW95"), name);
  if (!lookup.found) {
    ui_.MessageBox("DLL unknown");
    return Outcome::kStay;
  }
  const std::string& vendor = lookup.vendor;

  if (flags_.support_flag) {
    std::string explanation;
    if (FailureExplanation(entry, &explanation))
      ui_.Information(FailureReport(entry, vendor, explanation));
    ui_.Information(Confirmation(entry, vendor));
    return Outcome::kStay;
  }
  if (find_(vendor).empty()) {
    std::string explanation;
    FailureExplanation(entry, &explanation);
    ui_.Information(FailureReport(entry, vendor, explanation));
    return Outcome::kStay;
  }
  if (ui_.YesNo(Confirmation(entry, vendor)) != kAnswerYes) return Outcome::kStay;

  AdapterChoice choice;
  if (entry) {
    choice.dll = entry->adapter;
    choice.structured_fields = entry->structured_fields != 0;
  } else {
    // A typed name is written as the adapter it names (the client loads an
    // adapter), spelled as the adapter list spells it; its capabilities are
    // those of its list entry, and unknown ones are not assumed.
    choice.dll = lookup.adapter;
    int listed = FindEntry(table_, lookup.adapter);
    choice.structured_fields = listed >= 0 && table_.records[listed].structured_fields != 0;
  }
  // An adapter that is its own provider (the built-in host) has no session to set.
  Write(choice, !common::EqualsIgnoreCase(lookup.adapter, vendor));
  return Outcome::kClose;
}

void Configurator::SelectConfigured() {
  for (const BuildEntry& target : ParseBuildList(Lines("BUILDW95"))) {
    common::RegistryAccess key(common::ProgramFlavour::kConfig);
    const char* dll = key.GetValue(target.sub_path.c_str(), "DLL", common::RegistryOpen::kExisting);
    if (!dll) continue;
    for (int k = 0; k < table_.count; ++k)
      if (strcasecmp(table_.records[k].adapter, dll) == 0) {
        selected_ = k;
        return;
      }
  }
}

void Configurator::Write(const AdapterChoice& choice, bool offer_session) {
  last_write_ = WriteSettings(ParseBuildList(Lines("BUILDW95")), choice, find_);
  wrote_ = last_write_.keys_written > 0;
  if (!last_write_.failures.empty()) {
    std::string text = "The settings could not all be written:\n";
    for (const std::string& line : last_write_.failures) text += "\n" + line;
    ui_.Information(text);
  } else if (last_write_.keys_written == 0) {
    std::string names;
    for (const std::string& name : last_write_.skipped) names += (names.empty() ? "" : ", ") + name;
    ui_.Information("Nothing was written: none of the programs the settings are for (" +
                    (names.empty() ? std::string("none listed") : names) +
                    ") was found beside qorcnfig, in the current directory or on PATH.\n\nStart "
                    "qorcnfig in the "
                    "directory of the client, or add that directory to PATH, and try again.");
  }
  if (offer_session) ui_.OfferSessionLine();
}

Configurator::AutoResult Configurator::AutoConfig() {
  AutoResult result;
  std::vector<LookEntry> found;
  for (const LookEntry& look : ParseLookList(Lines("LOOKW95")))
    if (!find_(look.vendor).empty()) found.push_back(look);

  if (found.empty()) {
    ui_.Information(Lines("NULLW95"));
  } else if (found.size() > 1) {
    ui_.Information(Lines("TOOMANY"));
  } else if (found[0].flag == 'Y') {
    // What Auto Config found is what is used: its list entry becomes the
    // selection, or, when it is not listed, the name alone.
    selected_ = FindEntry(table_, found[0].adapter);
    result.fill_field = true;
    result.field =
        selected_ >= 0 ? std::string(table_.records[selected_].adapter) : found[0].adapter;
    result.outcome = Ok(result.field);
  } else {
    std::string text = "Found vendor dll: " + found[0].vendor + "\n\n";
    text += Lines(found[0].flag == '9' ? "MIXEDW31" : "AMBIGUOUS");
    ui_.Information(text);
  }
  return result;
}

}  // namespace config
