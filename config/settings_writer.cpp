#include "config/settings_writer.h"

#include "common/registry_access.h"
#include "platform/registry.h"

namespace config {

WriteReport WriteSettings(const std::vector<BuildEntry>& targets, const AdapterChoice& choice,
                          const FileFinder& find) {
  WriteReport report;
  for (const BuildEntry& target : targets) {
    if (find(target.file_name).empty()) {
      report.skipped.push_back(target.file_name);
      continue;
    }
    // The key is the pair's sub-path as it stands, under HKEY_CURRENT_USER:
    // that is the key the client reads its settings from.
    common::RegistryAccess key(common::ProgramFlavour::kConfig);
    const char* sub = target.sub_path.c_str();
    bool ok = key.PutValue(sub, "SESPARMS", "NORESET", common::RegistryOpen::kCreate) == 0 &&
              key.PutValue(sub, "DLL", choice.dll.c_str(), common::RegistryOpen::kCreate) == 0 &&
              key.PutValue(sub, "STRUCTUREDFIELDS", choice.structured_fields ? "Converse" : "No",
                           common::RegistryOpen::kCreate) == 0;
    if (ok) {
      ++report.keys_written;
      continue;
    }
    char kind[40];
    key.ErrorText(kind);
    std::string why = platform::RegistryProblem();
    if (why.empty()) why = "error " + std::to_string(key.LastResult());
    report.failures.push_back(std::string(kind) + " for " + target.sub_path + " in " +
                              platform::RegistryFilePath() + ": " + why);
  }
  return report;
}

}  // namespace config
