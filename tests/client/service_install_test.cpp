// The command line a Windows service is registered with: what the
// administrator typed, made to work from the system's directory, and quoted
// so that the service reads back every word unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/engine/client_command_line.h"
#include "client/engine/service_install.h"
#include "common/command_line.h"
#include "platform/paths.h"
#include "platform/system_service.h"

namespace {

std::vector<std::string> Arguments(std::vector<const char*> argv, const std::string& log) {
  argv.insert(argv.begin(), "qorprtt");
  common::CommandLine line =
      common::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), client::ClientOptions());
  EXPECT_EQ(line.error, "");
  return client::ServiceArguments(line, line.Has("--name") ? line.Value("--name") : "qorprt", log);
}

TEST(ServiceCommandLine, KeepsTheOptionsWithAbsolutePathsAndTheDirectoryLast) {
  using platform::AbsolutePath;
  EXPECT_EQ(
      Arguments({"--install-service", "--name", "T", "--config", "cfg", "--pdf", "--log-format",
                 "json", "/cut", "jobs", "/D", "other", "--headless"},
                "/var/T.log"),
      (std::vector<std::string>{"--service", "T", "--headless", "--config", AbsolutePath("cfg"),
                                "--pdf", "--log-format", "json", "--instance", "T", "--log-file",
                                "/var/T.log", "/cut", AbsolutePath("jobs")}));
  // What the administrator named stays; without a directory none is made up.
  EXPECT_EQ(
      Arguments({"--install-service", "--instance", "i", "--log-file", "l", "--trace", "t"},
                "/var/qorprt.log"),
      (std::vector<std::string>{"--service", "qorprt", "--headless", "--instance", "i",
                                "--log-file", AbsolutePath("l"), "--trace", AbsolutePath("t")}));
}

TEST(ServiceCommandLine, QuotesWordsAsTheWindowsRunTimeReadsThem) {
  const struct {
    const char* word;
    const char* quoted;
  } cases[] = {
      {"plain", "plain"},
      {"C:\\no\\blank\\", "C:\\no\\blank\\"},
      {"", "\"\""},
      {"C:\\Program Files\\qorprt\\qorprtt.exe", "\"C:\\Program Files\\qorprt\\qorprtt.exe\""},
      // Backslashes count only before a quote, the closing one included.
      {"C:\\my jobs\\", "\"C:\\my jobs\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"tab\there", "\"tab\there\""},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::QuoteWindowsArgument(c.word), c.quoted) << c.word;
}

}  // namespace
