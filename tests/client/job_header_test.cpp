// A job's name from the host becomes a file name in the download directory:
// nothing in it may lead elsewhere, on either system.
#include <gtest/gtest.h>

#include <string>

#include "client/engine/job_header.h"
#include "platform/paths.h"

namespace {

TEST(JobHeaderTest, UnsafeFileNamesStayInsideTheDirectory) {
  struct Case {
    std::string in, out;
    bool changed;
  } cases[] = {
      {"PAYROLL   ", "PAYROLL", false},
      {"../../etc/x", ".._.._etc_x", true},
      {"..", "_..", true},
      {".", "_.", true},
      {"      ", "QORJOB", true},
      {"", "QORJOB", true},
      {"A\x01"
       "B\x7f",
       "A_B_", true},
      {" LEAD", " LEAD", false},
      {"/", "_", true},
      {"\xe9t\xe9", "_t_", true},
      // Separators and drives of the system, and its device names.
      {"..\\..\\X", platform::kNamesIgnoreCase ? ".._.._X" : "..\\..\\X",
       platform::kNamesIgnoreCase},
      {"C:X", platform::kNamesIgnoreCase ? "C_X" : "C:X", platform::kNamesIgnoreCase},
      {"CON", platform::kNamesIgnoreCase ? "_CON" : "CON", platform::kNamesIgnoreCase},
      {"lpt1.txt", platform::kNamesIgnoreCase ? "_lpt1.txt" : "lpt1.txt",
       platform::kNamesIgnoreCase},
      {"CONTROL", "CONTROL", false},
      // The client's own files beside the jobs: a part, incomplete copies, the ledger.
      {".X.123.part", "_.X.123.part", true},
      {"X.incomplete", "X_incomplete", true},
      {"X.incomplete.7", "X_incomplete.7", true},
      {".qorprt.ledger", "_.qorprt.ledger", true},
      {"X.incomplete.lst", "X.incomplete.lst", false},
      {"X.part", "X.part", false},
  };
  for (const Case& c : cases) {
    std::string name = c.in;
    EXPECT_EQ(client::MakeSafeJobFileName(name), c.changed) << c.in;
    EXPECT_EQ(name, c.out) << c.in;
  }
}

}  // namespace
