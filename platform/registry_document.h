// In-memory registry in the REGEDIT4 text format: keys in file order, values in
// creation order, names compared without regard to letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RegistryValue {
  std::string name;  // empty for the default value ("@")
  std::string data;  // string data, or the raw text of a value of another type
  bool is_string = true;
  int line = 0;  // where Parse found it; 0 when set since
};

struct RegistryKey {
  std::string path;  // full path, e.g. HKEY_CURRENT_USER\SOFTWARE\VORNTEK\QORPRT
  std::vector<RegistryValue> values;
};

class RegistryDocument {
 public:
  // Parses REGEDIT4 text. Lines that cannot be read are skipped and described in
  // problems(); what could be read is kept.
  static RegistryDocument Parse(std::string_view text);
  std::string Serialize() const;

  const std::vector<std::string>& Problems() const { return problems_; }
  const std::vector<RegistryKey>& Keys() const { return keys_; }

  // A key exists when it has a section of its own or is the parent of one.
  bool KeyExists(std::string_view path) const;
  RegistryKey* FindKey(std::string_view path);
  const RegistryKey* FindKey(std::string_view path) const;
  RegistryKey& CreateKey(std::string_view path);
  // Immediate sub-key names of path, in order of first appearance.
  std::vector<std::string> SubKeys(std::string_view path) const;
  bool HasSubKeys(std::string_view path) const;
  // Removes the key's own section; false when it has none.
  bool DeleteKey(std::string_view path);

  static const RegistryValue* FindValue(const RegistryKey& key, std::string_view name);
  static void SetValue(RegistryKey& key, std::string_view name, std::string_view data);

 private:
  std::vector<RegistryKey> keys_;
  std::vector<std::string> problems_;
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace platform
