#include "config/emulator_list.h"

#include <cctype>
#include <cstring>

#include "common/text_helpers.h"

namespace config {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsSpace(char c) { return IsBlank(c) || c == '\n'; }

// Copies text into a fixed field; false when it does not fit.
template <size_t N>
bool CopyField(char (&field)[N], const std::string& text) {
  if (text.size() >= N) return false;
  std::memcpy(field, text.c_str(), text.size() + 1);
  return true;
}

template <size_t N>
void CopyCut(char (&field)[N], const std::string& text) {
  size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

EmulatorTable ParseEmulatorList(const std::string& text) {
  EmulatorTable table;
  size_t i = 0;
  auto next_word = [&]() {
    while (i < text.size() && IsSpace(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsSpace(text[i])) ++i;
    return text.substr(start, i - start);
  };
  for (;;) {
    std::string words[4];
    for (std::string& w : words) w = next_word();
    if (words[3].empty()) break;
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && text[i] != '\n') ++i;
    std::string description = text.substr(start, i - start);
    while (!description.empty() && IsBlank(description.back())) description.pop_back();

    if (table.count == EmulatorTable::kMaxRecords) {
      ++table.refused_beyond_limit;
      continue;
    }
    EmulatorRecord& r = table.records[table.count];
    r = EmulatorRecord{};
    std::string prefix = words[1] == "?" ? std::string() : words[1];
    if (!CopyField(r.adapter, words[0]) || !CopyField(r.key_prefix, prefix)) {
      table.refused_too_long.push_back(words[0]);
      continue;
    }
    char sf = words[2][0];
    char appc = words[3][0];
    r.structured_fields = sf == 'N' ? 0 : 1;
    r.appc = appc == 'N' ? 0 : appc == 'E' ? 2 : 1;
    if (appc == 'E') CopyCut(r.extended, words[3]);
    CopyCut(r.description, description);
    ++table.count;
  }
  return table;
}

VendorLookup LookUpVendor(const std::string& dllsw95, const std::string& adapter_name) {
  VendorLookup result;
  std::vector<std::string> words = common::SplitWords(dllsw95);
  for (size_t k = 0; k + 1 < words.size(); k += 2) {
    if (common::EqualsIgnoreCase(words[k], adapter_name)) {
      result.found = true;
      result.adapter = words[k];
      result.vendor = words[k + 1];
      break;
    }
  }
  return result;
}

std::vector<LookEntry> ParseLookList(const std::string& lookw95) {
  std::vector<LookEntry> out;
  std::vector<std::string> words = common::SplitWords(lookw95);
  for (size_t k = 0; k + 2 < words.size(); k += 3)
    out.push_back({words[k], words[k + 1][0], words[k + 2]});
  return out;
}

std::vector<BuildEntry> ParseBuildList(const std::string& buildw95) {
  std::vector<BuildEntry> out;
  std::vector<std::string> words = common::SplitWords(buildw95);
  for (size_t k = 0; k + 1 < words.size(); k += 2) out.push_back({words[k], words[k + 1]});
  return out;
}

int FindEntry(const EmulatorTable& table, const std::string& adapter_name) {
  for (int k = 0; k < table.count; ++k)
    if (common::EqualsIgnoreCase(table.records[k].adapter, adapter_name)) return k;
  return -1;
}

}  // namespace config
