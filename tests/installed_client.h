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
  // Settings and logs in settings_dir; programs, once installed, in program_dir.
  InstalledClient(std::string program_dir, std::string settings_dir)
      : program_dir_(std::move(program_dir)), settings_dir_(std::move(settings_dir)) {}
  explicit InstalledClient(const std::string& dir) : InstalledClient(dir, dir) {}
  // A user's client: the settings where a user's are (home/.config/qorprt),
  // the program from the build or PATH, and our variables cleared.
  static InstalledClient InHome(const std::string& home) {
    InstalledClient c(BinDir(), home + "/.config/qorprt");
    c.home_ = home;
    return c;
  }

  // Copies qorprtt, its message file and the files named (adapters,
  // providers) from the build, and writes QORPRTW.INI without the first-run
  // marker.
  void Install(std::initializer_list<const char*> files = {}) {
    std::filesystem::create_directories(program_dir_);
    for (const char* f : {"qorprtt", "QORPRTW.QOR"}) Copy(f);
    for (const char* f : files) Copy(f);
    ASSERT_TRUE(WriteChecked(program_dir_ + "/QORPRTW.INI", "installed\n"));
  }
  // registry.reg with these "NAME"="value" lines under the client's key.
  void Registry(const std::string& values) const {
    std::filesystem::create_directories(settings_dir_);
    ASSERT_TRUE(WriteChecked(
        RegistryPath(),
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n" + values));
  }
  void Sessions(const std::string& lines) const {
    std::filesystem::create_directories(settings_dir_);
    ASSERT_TRUE(WriteChecked(SessionsPath(), lines));
  }
  // What the configuration program writes for qor32pcs and an s3270 session A.
  void UseS3270(int port) const {
    Registry(kQor32pcsValues);
    Sessions("A s3270 127.0.0.1:" + std::to_string(port) + "\n");
  }

  // VAR=value words for env: the settings and logs (tag tells the logs of
  // several clients apart) or, for a user's client, the home alone.
  std::vector<std::string> Env(const std::string& tag = "") const {
    if (!home_.empty())
      return {"HOME=" + home_, "XDG_CONFIG_HOME=",  "XDG_STATE_HOME=",  "QOR_REGISTRY=",
              "QOR_SESSIONS=", "QOR_TRANSFER_LOG=", "QOR_EMULATOR_LOG="};
    return {"QOR_REGISTRY=" + RegistryPath(), "QOR_SESSIONS=" + SessionsPath(),
            "QOR_TRANSFER_LOG=" + settings_dir_ + "/transfer" + tag + ".log",
            "QOR_EMULATOR_LOG=" + settings_dir_ + "/emulator" + tag + ".log"};
  }
  // The same words for a shell command line.
  std::string ShellEnv(const std::string& tag = "") const {
    std::string words;
    for (const std::string& w : Env(tag)) words += (words.empty() ? "" : " ") + w;
    return words;
  }
  // env, the words, more words, the program: a child's argv before its arguments.
  std::vector<std::string> Command(const std::vector<std::string>& more = {},
                                   const std::string& tag = "") const {
    std::vector<std::string> argv = Env(tag);
    argv.insert(argv.begin(), "env");
    argv.insert(argv.end(), more.begin(), more.end());
    argv.push_back(Program());
    return argv;
  }

  std::string Program() const { return program_dir_ + "/qorprtt"; }
  std::string RegistryPath() const { return settings_dir_ + "/registry.reg"; }
  std::string SessionsPath() const { return settings_dir_ + "/sessions"; }
  std::string TransferLogPath() const {
    return home_.empty() ? settings_dir_ + "/transfer.log"
                         : home_ + "/.local/state/qorprt/transfer.log";
  }

  static constexpr char kQor32pcsValues[] = "\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"20\"\r\n";

 private:
  void Copy(const char* name) const {
    std::filesystem::copy_file(BinDir() + "/" + name, program_dir_ + "/" + name);
  }
  std::string program_dir_, settings_dir_, home_;
};

}  // namespace testing_support
