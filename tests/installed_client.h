// A client installed for an end-to-end test: its programs and libraries in a
// program directory, its settings (QORPRTW.INI, registry.reg, sessions) and
// the environment words that point it at them and at nothing else of ours.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace testing_support {

class InstalledClient {
 public:
  static constexpr char kQor32pcsValues[] = "\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"20\"\r\n";

  // Settings and logs in settings_dir (default: program_dir).
  explicit InstalledClient(std::string program_dir, std::string settings_dir = "")
      : program_dir_(program_dir),
        settings_dir_(settings_dir.empty() ? program_dir : settings_dir) {}
  // A user's client: the built program, the settings where a user's are
  // (home/.config/qorprt) and our variables cleared.
  static InstalledClient InHome(const std::string& home) {
    InstalledClient c(BinDir(), home + "/.config/qorprt");
    c.home_ = home;
    return c;
  }

  // Copies qorprtt, its message file and the files named (adapters,
  // providers) from the build; QORPRTW.INI without the first-run marker.
  void Install(std::initializer_list<const char*> files = {}) const {
    std::filesystem::create_directories(program_dir_);
    for (const char* f : {"qorprtt", "QORPRTW.QOR"}) Copy(f);
    for (const char* f : files) Copy(f);
    ASSERT_TRUE(WriteChecked(program_dir_ + "/QORPRTW.INI", "installed\n"));
  }
  // registry.reg with these "NAME"="value" lines under the client's key.
  void Registry(const std::string& values) const {
    Settings("registry.reg",
             "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n" + values);
  }
  void Sessions(const std::string& lines) const { Settings("sessions", lines); }
  // What the configuration program writes for qor32pcs and an s3270 session A.
  void UseS3270(int port) const {
    Registry(kQor32pcsValues);
    Sessions("A s3270 127.0.0.1:" + std::to_string(port) + "\n");
  }

  // VAR=value words: the settings and logs (tag tells several clients' logs
  // apart) or, for a user's client, the home alone.
  std::vector<std::string> Env(const std::string& tag = "") const {
    if (!home_.empty())
      return {"HOME=" + home_, "XDG_CONFIG_HOME=",  "XDG_STATE_HOME=",  "QOR_REGISTRY=",
              "QOR_SESSIONS=", "QOR_TRANSFER_LOG=", "QOR_EMULATOR_LOG="};
    return {"QOR_REGISTRY=" + RegistryPath(), "QOR_SESSIONS=" + SessionsPath(),
            "QOR_TRANSFER_LOG=" + settings_dir_ + "/transfer" + tag + ".log",
            "QOR_EMULATOR_LOG=" + settings_dir_ + "/emulator" + tag + ".log"};
  }
  std::string ShellEnv() const {
    std::string words;
    for (const std::string& w : Env()) words += w + " ";
    return words;
  }
  // env, the words, more words and the program: a child's argv before its arguments.
  std::vector<std::string> Command(const std::vector<std::string>& more = {},
                                   const std::string& tag = "") const {
    std::vector<std::string> argv = Env(tag);
    argv.insert(argv.begin(), "env");
    argv.insert(argv.end(), more.begin(), more.end());
    argv.push_back(program_dir_ + "/qorprtt");
    return argv;
  }
  std::string RegistryPath() const { return settings_dir_ + "/registry.reg"; }
  std::string SessionsPath() const { return settings_dir_ + "/sessions"; }

 private:
  void Copy(const char* name) const {
    std::filesystem::copy_file(BinDir() + "/" + name, program_dir_ + "/" + name);
  }
  void Settings(const char* name, const std::string& text) const {
    std::filesystem::create_directories(settings_dir_);
    ASSERT_TRUE(WriteChecked(settings_dir_ + "/" + name, text));
  }
  std::string program_dir_, settings_dir_, home_;
};

}  // namespace testing_support
