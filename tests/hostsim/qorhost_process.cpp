#include "tests/hostsim/qorhost_process.h"

#include <cstdlib>

#include "tests/programs.h"

namespace testing_support {

std::string qorhost_path() { return BinDir() + "/qorhost"; }

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
