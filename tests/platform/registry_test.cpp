#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/registry_document.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

using namespace platform;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv env{"QOR_REGISTRY", dir / "sub/registry.reg"};

  std::string Get(const char* sub, const char* name) { return RegistryGet(sub, name); }
  long Put(const char* sub, const char* name, const std::string& value) {
    return RegistryPut(sub, name, value);
  }
};

TEST_F(RegistryTest, ValuesSurviveInReadableRegeditText) {
  ASSERT_EQ(Put("SOFTWARE\\VORNTEK\\QORPRT", "DLL", "QOR32PCS.DLL"), kErrorSuccess);
  ASSERT_EQ(Put("SOFTWARE\\VORNTEK\\QORPRT", "SESPARMS", "say \"hi\" c:\\x"), kErrorSuccess);
  std::string text = ReadFile(dir / "sub/registry.reg");
  EXPECT_EQ(text,
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n"
            "\"DLL\"=\"QOR32PCS.DLL\"\r\n\"SESPARMS\"=\"say \\\"hi\\\" c:\\\\x\"\r\n");
  EXPECT_EQ(Get("software\\vorntek\\qorprt", "sesparms"), "say \"hi\" c:\\x");
}

TEST_F(RegistryTest, AnotherProcessReadsWhatOneWrote) {
  pid_t child = fork();
  if (child == 0) _exit(Put("SOFTWARE\\VORNTEK\\QORPRT", "TIMEOUT", "45") == kErrorSuccess ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Get("SOFTWARE\\VORNTEK\\QORPRT", "TIMEOUT"), "45");
}

TEST_F(RegistryTest, TwoWritersNeverLoseAValue) {
  constexpr int kEach = 40;
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    if (writers[w] == 0) {
      for (int i = 0; i < kEach; ++i) {
        std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
        if (Put("SOFTWARE\\RACE", name.c_str(), name) != kErrorSuccess) _exit(1);
      }
      _exit(0);
    }
  }
  for (pid_t p : writers) {
    int status = 0;
    waitpid(p, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < kEach; ++i) {
      std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
      EXPECT_EQ(Get("SOFTWARE\\RACE", name.c_str()), name);
    }
}

TEST_F(RegistryTest, GarbledFileIsReportedReadAsFarAsPossibleAndNeverOverwritten) {
  ::mkdir((dir / "sub").c_str(), 0700);
  const std::string garbled =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\A]\r\n\"GOOD\"=\"yes\"\r\nrubbish\r\n"
      "\"CUT\"=\"no closing quote";
  WriteFile(dir / "sub/registry.reg", garbled);
  EXPECT_EQ(Get("SOFTWARE\\A", "GOOD"), "yes");
  EXPECT_NE(RegistryProblem().find("line 5"), std::string::npos);
  EXPECT_NE(RegistryProblem().find("line 6"), std::string::npos);
  EXPECT_EQ(Put("SOFTWARE\\A", "NEW", "1"), kErrorBadDatabase);
  EXPECT_EQ(ReadFile(dir / "sub/registry.reg"), garbled);
  EXPECT_EQ(
      RegistryFileProblem(),
      dir / "sub/registry.reg: line 5: unreadable line (and 1 more lines that cannot be read)");
}

// What start-up refuses as settings, next to files that are fine as they are.
TEST_F(RegistryTest, FilesThatCannotBeSettingsAreNamedAndADirectoryIsNeverReplaced) {
  const std::string path = dir / "sub/registry.reg";
  struct Case {
    const char* text;  // null: a directory in the file's place
    const char* problem;
  } cases[] = {
      {"REGEDIT4\r\n; note\r\n\r\n[HKEY_CURRENT_USER\\OTHER]\r\n\"Q\"=\"a \\\"b\\\" c:\\\\d\"\r\n",
       ""},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n", ""},
      {"", ": line 1: the file is empty"},
      {" \r\n\r\n", ": line 1: the file is empty"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTW", ": line 2: unreadable key line"},
      {nullptr, ": cannot be read: Is a directory"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "sub");
    std::filesystem::create_directories(c.text ? dir / "sub" : path);
    if (c.text) WriteFile(path, c.text);
    EXPECT_EQ(RegistryFileProblem(), *c.problem ? path + c.problem : "")
        << (c.text ? c.text : "directory");
  }
  EXPECT_NE(Put("SOFTWARE\\A", "NEW", "1"), kErrorSuccess);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(RegistryDocumentTest, ParsesWhatRegeditWritesAndRoundTrips) {
  const char* text =
      "REGEDIT4\n\n; comment\n[HKEY_CURRENT_USER\\Software\\X]\n@=\"default\"\n"
      "\"D\"=dword:0000002a\n\"H\"=hex:01,02,\\\n  03\n";
  RegistryDocument doc = RegistryDocument::Parse(text);
  EXPECT_TRUE(doc.Problems().empty());
  const RegistryKey* key = doc.FindKey("hkey_current_user\\software\\x");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->values.size(), 3u);
  EXPECT_EQ(key->values[0].data, "default");
  EXPECT_EQ(key->values[1].data, "42");
  EXPECT_EQ(key->values[2].data, "hex:01,02,03");
  RegistryDocument again = RegistryDocument::Parse(doc.Serialize());
  EXPECT_TRUE(again.Problems().empty());
  EXPECT_EQ(again.Serialize(), doc.Serialize());
}

TEST(RegistryDocumentTest, ContinuedRawValueReadsBackTheSame) {
  // A continuation that ends in blanks before its backslash.
  RegistryDocument doc =
      RegistryDocument::Parse("REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"H\"=hex:01,\\\r\n 02 \\");
  ASSERT_TRUE(doc.Problems().empty());
  EXPECT_EQ(doc.Keys()[0].values[0].data, "hex:01,02");
  EXPECT_EQ(RegistryDocument::Parse(doc.Serialize()).Serialize(), doc.Serialize());
  // Anything but hex bytes after "hex:" is reported, not kept.
  EXPECT_FALSE(RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"D\"=hex:{0V\\V\n")
                   .Problems()
                   .empty());
  EXPECT_FALSE(RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"D\"=dword:-0000002\n")
                   .Problems()
                   .empty());
  EXPECT_TRUE(RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"M\"=hex(7):41,00,00\n")
                  .Problems()
                  .empty());
}

TEST(RegistryDocumentTest, ReportsFilesThatAreNotRegistryExports) {
  EXPECT_FALSE(RegistryDocument::Parse("hello\n").Problems().empty());
  EXPECT_FALSE(RegistryDocument::Parse("REGEDIT4\n\"V\"=\"outside\"\n").Problems().empty());
  EXPECT_FALSE(RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A\n").Problems().empty());
  EXPECT_TRUE(RegistryDocument::Parse("").Problems().empty());
}

}  // namespace
