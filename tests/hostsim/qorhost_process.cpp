#include "qorhost_process.h"

#include <cstdlib>

namespace testing_support {

std::string qorhost_path() {
  const char* bin = std::getenv("QOR_TEST_BIN");
  return std::string(bin && *bin ? bin : QOR_BIN_DIR) + "/qorhost";
}

QorhostProcess::QorhostProcess(const std::string& spool,
                               const std::vector<std::string>& extra_options,
                               const std::string& log_path) {
  std::vector<std::string> argv{qorhost_path(), "--port", "0", "--spool", spool};
  argv.insert(argv.end(), extra_options.begin(), extra_options.end());
  child_ = std::make_unique<Child>(argv, log_path);
  std::string line;
  if (child_->read_line(&line, 10000)) {
    const auto colon = line.rfind(':');
    if (line.rfind("qorhost listening on", 0) == 0 && colon != std::string::npos) {
      port_ = std::atoi(line.c_str() + colon + 1);
    }
  }
}

}  // namespace testing_support
