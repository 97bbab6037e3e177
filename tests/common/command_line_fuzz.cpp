// Feeds arbitrary words to the command-line reader: the bytes split at NULs
// into argv, read against a table with flags and options with values, and
// the help of that table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static constexpr common::OptionSpec kOptions[] = {{"--flag", nullptr, "a flag"},
                                                    {"--value", "V", "a value\nover two lines"}};
  std::vector<std::string> words = {"program"};
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  common::CommandLine line =
      common::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), kOptions);
  line.Value("--value");
  line.Has("--flag");
  common::UsageErrorText("program", line.error);
  common::OptionsHelp(kOptions);
  return 0;
}
