// The README's "Trying it with a real emulator", run as written on a fresh
// home directory: its shell lines typed into a terminal, its keys pressed,
// until the job lies in the scratch directory, which its last line removes
// with the host. Only the build's directory and /tmp are moved into the
// test's own scratch directory.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include "tests/programs.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;

// The lines of the first shell block after the heading.
std::vector<std::string> ReadmeBlock(const std::string& heading) {
  std::istringstream in(ReadFile(std::string(QOR_SOURCE_DIR) + "/README.md"));
  std::vector<std::string> lines;
  bool in_section = false, in_block = false;
  for (std::string line; std::getline(in, line);) {
    if (line == heading) in_section = true;
    if (!in_section) continue;
    if (line.rfind("```", 0) == 0) {
      if (in_block) break;
      in_block = line == "```sh";
      continue;
    }
    if (in_block) lines.push_back(line);
  }
  return lines;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST(ReadmeTest, TryingItWithARealEmulatorDeliversTheJob) {
  if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  std::vector<std::string> block = ReadmeBlock("## Trying it with a real emulator");
  ASSERT_EQ(block.size(), 6u) << "the README's block changed: change this test with it";

  TempDir dir;
  // The repository's root as the block sees it: its sources and this build.
  fs::create_directories(dir / "work/build");
  fs::create_directory_symlink(std::string(QOR_SOURCE_DIR) + "/hostsim", dir / "work/hostsim");
  fs::create_directory_symlink(BinDir(), dir / "work/build/bin");
  fs::create_directory(dir / "home");
  TmuxSession tmux;
  ASSERT_TRUE(tmux.ok());
  tmux.Start("env -i HOME=" + (dir / "home") + " PATH=/usr/local/bin:/usr/bin:/bin TERM=" +
                 PaneTerm() + " bash --norc --noprofile",
             100, 30, dir / "work");
  auto run = [&](const std::string& line) {
    std::string command = Replaced(line.substr(0, line.find("  #")), "/tmp/", dir.path() + "/");
    tmux.Type(command);
    tmux.Keys("Enter");
  };
  for (int k = 0; k < 3; ++k) run(block[k]);
  ASSERT_TRUE(Eventually(
      [&] {
        return ReadFile(dir / "qordemo/qorhost.out").find("listening on") != std::string::npos;
      },
      20))
      << tmux.Capture();
  std::smatch port;
  std::string host_out = ReadFile(dir / "qordemo/qorhost.out");
  ASSERT_TRUE(std::regex_search(host_out, port, std::regex("127\\.0\\.0\\.1:(\\d+)")));

  // qorcnfig: Alt+A, Enter; Alt+W, the address, Enter; F10, Exit.
  run(block[3]);
  ASSERT_TRUE(tmux.WaitFor("Select your 3270 emulator")) << tmux.Capture();
  tmux.Keys("M-a");
  ASSERT_TRUE(tmux.WaitFor("O.K. to proceed?")) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Session A is")) << tmux.Capture();
  tmux.Keys("M-w");
  tmux.Type("127.0.0.1:" + port[1].str());
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Settings written to")) << tmux.Capture();
  tmux.Keys("F10");
  ASSERT_TRUE(tmux.WaitFor("Exit")) << tmux.Capture();
  tmux.Keys("Down Enter");
  ASSERT_TRUE(tmux.WaitGone("Settings written to")) << tmux.Capture();
  EXPECT_EQ(ReadFile(dir / "qordemo/sessions"), "A s3270 127.0.0.1:" + port[1].str() + "\n");

  // qorprtt: F6, Enter; the job lands; Ctrl+X.
  run(block[4]);
  // A first run (a fresh build) shows the start-up window and the introduction first.
  bool ready = false;
  for (int tries = 0; tries < 5 && !(ready = tmux.WaitFor("F6 takes the waiting job", 5)); ++tries)
    tmux.Keys("Escape");
  ASSERT_TRUE(ready) << tmux.Capture();
  tmux.Keys("F6");
  ASSERT_TRUE(tmux.WaitFor("Print Job from the Host", 30)) << tmux.Capture();
  tmux.Keys("Enter");
  const std::string sample = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "qordemo/MONTHRPT") == sample; }, 60))
      << tmux.Capture();
  tmux.Keys("C-x");
  EXPECT_TRUE(tmux.WaitGone("Exit  Transfer  Options  Help")) << tmux.Capture();
  // The last line stops the host and removes what the walk-through made.
  run(block[5]);
  EXPECT_TRUE(Eventually([&] { return !fs::exists(dir / "qordemo"); }, 20)) << tmux.Capture();
  EXPECT_FALSE(fs::exists(dir / "home/.config/qorprt"))
      << "settings left outside the scratch directory";
  // The bracket keeps pgrep's own shell, which holds the pattern, from matching.
  EXPECT_TRUE(Eventually(
      [&] {
        return std::system(("pgrep -f 'qorhost --spool " + dir.path() + "/qordem[o]' >/dev/null")
                               .c_str()) != 0;
      },
      20));
  std::system(("pkill -f 'qorhost --spool " + dir.path() + "/qordemo' 2>/dev/null").c_str());
}

}  // namespace
