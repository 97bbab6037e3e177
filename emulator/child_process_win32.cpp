// Providers on Windows never start an emulator themselves (an "s3270"
// session is refused before a backend exists), so no child ever runs.
#include "emulator/child_process.h"

namespace emulator {

int ChildProcess::Start(const std::string& program, const std::vector<std::string>&,
                        std::string* problem) {
  *problem = "this system does not start " + program + " itself";
  return -1;
}

void ChildProcess::Stop(int) { pid_ = -1; }

}  // namespace emulator
