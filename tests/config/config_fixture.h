// Shared pieces of the configuration program's tests: a message file built
// from a source text in a scratch directory, a private registry, and a
// ConfigUi that records what it is shown and answers yes/no questions from a
// script.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <string>
#include <vector>

#include "common/message_file.h"
#include "config/configurator.h"
#include "messages/message_image.h"
#include "messages/message_source.h"
#include "platform/registry.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

namespace config {

namespace config_test {

// A message file holding the keys the configuration program reads.
inline std::string StandardSource() {
  return R"(!hash-free
[LISTW95]
|AAA.DLL AAA Y Y Alpha emulator
|BBB.DLL ? N E Beta emulator
|CCC.DLL CCC N N Gamma emulator
[DLLSW95]
|AAA.DLL alpha.DLL
|bbb.dll BETA.DLL
|CCC.DLL gamma.so
|TYPED.DLL typedvendor.DLL
[LOOKW95]
|alpha.DLL Y AAA.DLL
[BUILDW95]
|qorprtt SOFTWARE\VORNTEK\QORPRT
[FAILW95]
|General failure help
[AAAFAIL]
|Alpha failure help
[AAABLURB]
|Alpha blurb
[EAPPC]
| . APPC through the extended interface
[NULLW95]
|none found
[MIXEDW31]
|mixed installation
[AMBIGUOUS]
|ambiguous
[TOOMANY]
|too many
[HALP]
|help text
[SESSW95]
|session explanation
)";
}

// Replaces the text of one key in a source (the key must be present).
inline std::string WithText(std::string source, const std::string& key, const std::string& lines) {
  size_t at = source.find("[" + key + "]");
  EXPECT_NE(at, std::string::npos) << key;
  size_t end = source.find("\n[", at + 1);
  if (end == std::string::npos) end = source.size() - 1;
  return source.substr(0, at) + "[" + key + "]\n" + lines + source.substr(end);
}

inline std::string WithoutKey(std::string source, const std::string& key) {
  size_t at = source.find("[" + key + "]");
  size_t end = source.find("\n[", at + 1);
  return source.substr(0, at) + source.substr(end + 1);
}

// Compiled as the build compiles it for the system the test runs on.
inline bool BuildMessageFile(const std::string& source, const std::string& path) {
#ifdef _WIN32
  const messages::System system = messages::System::kWindows;
#else
  const messages::System system = messages::System::kLinux;
#endif
  messages::ParsedSource parsed = messages::ParseMessageSource(source, system);
  for (const auto& e : parsed.errors) ADD_FAILURE() << "line " << e.line << ": " << e.text;
  if (!parsed.errors.empty()) return false;
  WriteFile(path, messages::BuildMessageImage(parsed.entries));
  return true;
}

struct RecordingUi : ConfigUi {
  void MessageBox(const std::string& text) override { shown.push_back("box: " + text); }
  void Information(const std::string& text) override { shown.push_back("info: " + text); }
  int YesNo(const std::string& text) override {
    shown.push_back("yesno: " + text);
    if (answers.empty()) return kAnswerNo;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  void OfferSessionLine() override { shown.push_back("session"); }

  std::vector<std::string> shown;
  std::deque<int> answers;
};

// The value of a registry value under the client's key, or "<absent>".
inline std::string ClientValue(const char* name) {
  platform::RegKey key;
  if (platform::RegOpenKey("SOFTWARE\\VORNTEK\\QORPRT", &key) != 0) return "<absent>";
  char data[128];
  size_t size = sizeof data;
  if (platform::RegQueryValue(key, name, data, &size) != 0) return "<absent>";
  return data;
}

// One scratch directory holding the message file and the registry file.
class ConfigFiles {
 public:
  explicit ConfigFiles(const std::string& source = StandardSource())
      : registry_(dir_ / "registry.reg") {
    EXPECT_TRUE(BuildMessageFile(source, message_path()));
  }
  const TempDir& dir() const { return dir_; }
  std::string message_path() const { return dir_ / "QORCNFIG.QOR"; }
  // Whether anything reached the registry: its file, or on Windows the client's key.
  bool registry_written() const {
    if (platform::RegistryFilePath().empty()) return ClientValue("DLL") != "<absent>";
    return access((dir_ / "registry.reg").c_str(), F_OK) == 0;
  }

 private:
  TempDir dir_;
  RegistrySandbox registry_;
};

// Changes the current directory for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& dir) {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) old_ = buf;
    EXPECT_EQ(chdir(dir.c_str()), 0) << dir;
  }
  ~ScopedCwd() {
    if (!old_.empty() && chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_;
  }

 private:
  std::string old_;
};

}  // namespace config_test

}  // namespace config
