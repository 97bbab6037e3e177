#include "config/config_texts.h"

namespace config {

std::string FailureReport(const EmulatorRecord* entry, const std::string& vendor,
                          const std::string& explanation) {
  std::string report;
  if (entry) {
    report = std::string(entry->description) + "\n\nCannot locate Emulator's .DLL file (" + vendor +
             ")\n\n";
  } else {
    report = "Cannot locate " + vendor + " file\n\n";
  }
  return report + explanation;
}

std::string ConfirmationText(const EmulatorRecord* entry, const std::string& vendor,
                             const std::string& eappc, const std::string& blurb) {
  std::string text;
  if (!entry) {
    text = "Using " + vendor + "\n";
  } else {
    text = std::string(entry->description) + "\n";
    if (entry->structured_fields) text += " . Can use Structured Fields\n";
    if (entry->appc == 1) text += " . Can use APPC\n";
    if (entry->appc == 2) text += eappc;
  }
  text += "\n";
  text += blurb;
  text += "\n\nO.K. to proceed?";
  if (text.size() > kConfirmationLimit) text.resize(kConfirmationLimit);
  return text;
}

std::vector<std::string> DialogRows(const std::string& text, size_t width) {
  if (width == 0) width = 1;
  std::vector<std::string> rows;
  std::string row;
  bool open = false;  // a row has been started since the last line feed
  for (char c : text) {
    if (c == '\n') {
      rows.push_back(row);
      row.clear();
      open = false;
      continue;
    }
    if (c == '\r') continue;
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    if (row.size() == width) {
      rows.push_back(row);
      row.clear();
    }
    row += c;
    open = true;
  }
  if (open) rows.push_back(row);
  return rows;
}

}  // namespace config
