// The source parser's refusals and acceptances, the exact bytes of a compiled
// file, and the qormsgc program's exit codes and error lines.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "messages/message_image.h"
#include "messages/message_source.h"
#include "tests/messages/image_reader.h"

using messages::ParseMessageSource;

namespace {

struct Refusal {
  const char* what;
  std::string source;
  int line;
  const char* words;  // part of the error text
};

TEST(MessageSourceParser, RefusesWhatTheReadersWouldGetWrong) {
  const std::string long_line = "|" + std::string(385, 'x');
  const Refusal cases[] = {
      {"duplicate key", "[A]\n|x\n[B]\n|y\n[A]\n|z\n", 5,
       "duplicate key (first defined on line 1)"},
      {"empty key", "[]\n|x\n", 1, "empty key"},
      {"lower-case key", "[Ok] @button\n|OK\n", 1, "lower-case"},
      {"key with a blank", "[A B]\n|x\n", 1, "character other than"},
      {"key too long", "[" + std::string(33, 'K') + "]\n|x\n", 1, "longer than 32"},
      {"unclosed key", "[ABC\n|x\n", 1, "not closed"},
      {"NUL in a text line", std::string("[A]\n|a\0b\n", 9), 2, "NUL"},
      {"NUL in a key line", std::string("[A\0]\n|x\n", 8), 1, "NUL"},
      {"text line exactly ##", "[A]\n|x\n|##\n", 3, "\"##\""},
      {"line over 384 bytes", "[A]\n" + long_line + "\n", 2, "longer than 384"},
      {"title over 384 bytes", "[A] " + std::string(385, 't') + "\n|x\n", 1, "title longer"},
      {"control character", "[A]\n|a\tb\n", 2, "control character 0x09"},
      {"text before any key", "|x\n[A]\n|y\n", 1, "before the first key"},
      {"unknown line", "[A]\nplain words\n", 2, "unrecognised line"},
      {"unknown directive", "!hashfree\n[A]\n|x\n", 1, "unknown directive"},
      {"hash in a hash-free file", "!hash-free\n[A]\n|ok\n|a#b\n", 4, "hash-free"},
      {"hash before the directive", "[A]\n|a#b\n!hash-free\n", 2, "hash-free"},
      {"no texts at all", "# only a comment\n\n", 0, "no texts"},
      {"another system's text line checked too", "[A]\n|x\nwindows|a\tb\n", 3, "control"},
      {"hash in another system's line", "!hash-free\n[A]\nwindows|a#b\n", 3, "hash-free"},
      {"unknown system", "[A]\nlinus|x\n", 2, "unrecognised line"},
  };
  for (const Refusal& c : cases) {
    messages::ParsedSource p = ParseMessageSource(c.source);
    ASSERT_EQ(p.errors.size(), 1u) << c.what;
    EXPECT_EQ(p.errors[0].line, c.line) << c.what;
    EXPECT_NE(p.errors[0].text.find(c.words), std::string::npos)
        << c.what << ": " << p.errors[0].text;
  }
}

TEST(MessageSourceParser, ReportsEveryErrorOnceAndSkipsTheLinesOfARefusedKey) {
  messages::ParsedSource p = ParseMessageSource("[bad]\n|x\n|y\n[GOOD]\n|z\n|##\n[]\n|w\n");
  ASSERT_EQ(p.errors.size(), 3u);
  EXPECT_EQ(p.errors[0].line, 1);
  EXPECT_EQ(p.errors[1].line, 6);
  EXPECT_EQ(p.errors[2].line, 7);
}

TEST(MessageSourceParser, KeepsTextLinesExactly) {
  const std::string longest = std::string(384, 'y');
  messages::ParsedSource p = ParseMessageSource(
      "# comment\r\n"
      "[HELPIXTITLE]\r\n"
      "| Help Index\r\n"
      "[GENERAL]   General help  \n"
      "|%Heading\n"
      "|\n"
      "\n"
      "# a comment inside a text\n"
      "|a # is fine here, and ## inside a line\n"
      "|" +
      longest +
      "\n"
      "[EMPTY] @nothing\n"
      "[LAST]\n"
      "|no final line feed");
  ASSERT_TRUE(p.errors.empty()) << p.errors[0].line << ": " << p.errors[0].text;
  ASSERT_EQ(p.entries.size(), 4u);
  EXPECT_EQ(p.entries[0].key, "HELPIXTITLE");
  EXPECT_EQ(p.entries[0].lines, std::vector<std::string>{" Help Index"});
  EXPECT_EQ(p.entries[1].title, "General help");
  EXPECT_EQ(p.entries[1].lines,
            (std::vector<std::string>{"%Heading", "", "a # is fine here, and ## inside a line",
                                      longest}));
  EXPECT_EQ(p.entries[1].line_numbers, (std::vector<int>{5, 6, 9, 10}));
  EXPECT_EQ(p.entries[2].title, "@nothing");
  EXPECT_TRUE(p.entries[2].lines.empty());
  EXPECT_EQ(p.entries[3].lines, std::vector<std::string>{"no final line feed"});
}

// A text says per system what differs; the untagged lines are the same for
// both, in their places.
TEST(MessageSourceParser, KeepsTheLinesOfTheSystemItCompilesFor) {
  const std::string source = "[A]\n|both\nlinux|~/.config\nwindows|%APPDATA%\n|end\n";
  EXPECT_EQ(ParseMessageSource(source).entries[0].lines,
            (std::vector<std::string>{"both", "~/.config", "end"}));
  messages::ParsedSource w = ParseMessageSource(source, messages::System::kWindows);
  EXPECT_EQ(w.entries[0].lines, (std::vector<std::string>{"both", "%APPDATA%", "end"}));
  EXPECT_EQ(w.entries[0].line_numbers, (std::vector<int>{2, 4, 5}));
}

TEST(MessageImage, HasTheExactLayout) {
  messages::ParsedSource p = ParseMessageSource("[A] Title\n|x\n|\n[B]\n");
  ASSERT_TRUE(p.errors.empty());
  const std::string image = messages::BuildMessageImage(p.entries);
  std::string expected("QOR message file\0", 17);  // offsets 0..16
  expected += std::string("x\0\0##\0", 6);         // A at 17
  expected += std::string("##\0", 3);              // B at 23
  expected += std::string(
      "A\0Title\0"
      "17\0",
      11);  // index at 26
  expected += std::string(
      "B\0\0"
      "23\0",
      6);
  expected += std::string("\0", 1);  // empty key
  std::string trailer(
      "2\0"
      "26\0",
      5);
  trailer.resize(32, '\0');
  expected += trailer;
  EXPECT_EQ(image, expected);

  ImageReport r = ReadImage(image);
  EXPECT_TRUE(r.problems.empty());
  EXPECT_EQ(r.first_number, 2);
  EXPECT_EQ(r.index_offset, 26);
}

TEST(MessageImage, StringsCrossingBlockBoundariesStayWithinTheJoinBuffer) {
  // Many maximal lines: some of them straddle every 512-byte boundary.
  std::string source = "[BIG] Big topic\n";
  for (int i = 0; i < 40; ++i)
    source += "|" + std::string(384, static_cast<char>('a' + i % 26)) + "\n";
  messages::ParsedSource p = ParseMessageSource(source);
  ASSERT_TRUE(p.errors.empty());
  ImageReport r = ReadImage(messages::BuildMessageImage(p.entries));
  EXPECT_TRUE(r.problems.empty());
  ASSERT_EQ(r.entries.size(), 1u);
  EXPECT_EQ(r.entries[0].lines, p.entries[0].lines);
}

TEST(MessageSourceParser, NeverCrashesOnArbitraryBytes) {
  std::mt19937 rng(12345);
  const char alphabet[] = "[]|!#%\n\r\t\0 AZaz09-##";
  for (int round = 0; round < 2000; ++round) {
    std::string input(rng() % 300, '\0');
    for (char& c : input)
      c = (rng() % 4 == 0) ? static_cast<char>(rng()) : alphabet[rng() % (sizeof alphabet - 1)];
    messages::ParsedSource p = ParseMessageSource(input);
    if (p.errors.empty()) {
      ImageReport r = ReadImage(messages::BuildMessageImage(p.entries));
      EXPECT_TRUE(r.problems.empty()) << "round " << round;
    }
  }
}

// Runs qormsgc with the given arguments; returns its exit code and stderr.
int RunCompiler(const std::string& args, std::string* errors) {
  char err_path[] = "/tmp/qormsgc-errXXXXXX";
  int fd = mkstemp(err_path);
  if (fd < 0) return -1;
  close(fd);
  const std::string cmd = std::string(QOR_BIN_DIR) + "/qormsgc " + args + " 2>" + err_path;
  int status = std::system(cmd.c_str());
  if (errors) *errors = ReadFileBytes(err_path);
  std::remove(err_path);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CompilerProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qormsgc-testXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string Write(const char* name, const std::string& text) {
    std::string path = dir_ + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(std::fwrite(text.data(), 1, text.size(), f), text.size());
    EXPECT_EQ(std::fclose(f), 0);
    return path;
  }
  bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
  std::string dir_;
};

TEST_F(CompilerProgram, RefusesABadSourceWithFileAndLineAndWritesNothing) {
  std::string src = Write("bad.txt", "[OK]\n|OK\n[ok]\n|x\n[OK]\n|again\n");
  std::string out = dir_ + "/BAD.QOR";
  std::string errors;
  EXPECT_EQ(RunCompiler(src + " " + out, &errors), 1);
  EXPECT_NE(errors.find(src + ":3: error:"), std::string::npos) << errors;
  EXPECT_NE(errors.find(src + ":5: error:"), std::string::npos) << errors;
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(Exists(out + ".tmp"));
}

TEST_F(CompilerProgram, CompilesAGoodSourceToTheImage) {
  const std::string text = "[OK] @button\n|OK\n[GENERAL] General help\n|%Welcome\n|Line two\n";
  std::string src = Write("good.txt", text);
  std::string out = dir_ + "/GOOD.QOR";
  Write("GOOD.QOR", "stale content");
  EXPECT_EQ(RunCompiler(src + " " + out, nullptr), 0);
  EXPECT_EQ(ReadFileBytes(out), messages::BuildMessageImage(ParseMessageSource(text).entries));
  const std::string both = "[A]\n|x\nlinux|l\nwindows|w\n";
  src = Write("both.txt", both);
  for (auto system : {messages::System::kLinux, messages::System::kWindows}) {
    const bool windows = system == messages::System::kWindows;
    EXPECT_EQ(
        RunCompiler(std::string("--system ") + (windows ? "windows " : "linux ") + src + " " + out,
                    nullptr),
        0);
    EXPECT_EQ(ReadFileBytes(out),
              messages::BuildMessageImage(ParseMessageSource(both, system).entries));
  }
}

TEST_F(CompilerProgram, ReportsMissingFilesAndWrongUsage) {
  std::string errors;
  EXPECT_EQ(RunCompiler(dir_ + "/missing.txt " + dir_ + "/X.QOR", &errors), 1);
  EXPECT_NE(errors.find("missing.txt: error: cannot read"), std::string::npos) << errors;
  std::string src = Write("good.txt", "[A]\n|x\n");
  EXPECT_EQ(RunCompiler(src + " " + dir_ + "/no/such/dir/X.QOR", &errors), 1);
  EXPECT_NE(errors.find("cannot write"), std::string::npos) << errors;
  EXPECT_EQ(RunCompiler(src, &errors), 2);
  EXPECT_NE(errors.find("usage"), std::string::npos);
  EXPECT_EQ(RunCompiler("--system macos " + src + " " + dir_ + "/X.QOR", &errors), 2);
}

}  // namespace
