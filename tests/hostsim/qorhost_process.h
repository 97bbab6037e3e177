// Starts the built qorhost on a port it picks, and stops it at the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/hostsim/test_support.h"

namespace testing_support {

class QorhostProcess {
 public:
  QorhostProcess(const std::string& spool, const std::vector<std::string>& extra_options,
                 const std::string& log_path);
  int port() const { return port_; }
  Child& child() { return *child_; }

 private:
  std::unique_ptr<Child> child_;
  int port_ = -1;
};

std::string qorhost_path();

}  // namespace testing_support
