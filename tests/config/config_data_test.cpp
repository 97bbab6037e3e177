// The configuration program's data: the emulator list and word lists from the
// message file, the search path, the command line and the composed texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/command_flags.h"
#include "config/config_texts.h"
#include "config/emulator_list.h"
#include "config/search_path.h"
#include "tests/temp_dir.h"

namespace {

TEST(EmulatorList, WordsMayCrossLinesAndTheDescriptionEndsTheLine) {
  EmulatorTable t = ParseEmulatorList(
      "AAA.DLL PFX Y Y  First one  \n"
      "BBB.DLL ?\nN\nE Second\n"
      "CCC.DLL C3 Conv X\n"
      "DDD.DLL D N");  // incomplete: dropped
  ASSERT_EQ(t.count, 3);
  EXPECT_STREQ(t.records[0].adapter, "AAA.DLL");
  EXPECT_STREQ(t.records[0].key_prefix, "PFX");
  EXPECT_STREQ(t.records[0].description, "First one");
  EXPECT_EQ(t.records[0].structured_fields, 1);
  EXPECT_EQ(t.records[0].appc, 1);

  EXPECT_STREQ(t.records[1].key_prefix, "");  // "?" means no texts of its own
  EXPECT_EQ(t.records[1].structured_fields, 0);
  EXPECT_EQ(t.records[1].appc, 2);
  EXPECT_STREQ(t.records[1].extended, "E");
  EXPECT_STREQ(t.records[1].description, "Second");

  EXPECT_EQ(t.records[2].structured_fields, 1);  // anything but N counts as yes
  EXPECT_EQ(t.records[2].appc, 1);
  EXPECT_STREQ(t.records[2].description, "");
  EXPECT_EQ(t.refused_beyond_limit, 0);
}

TEST(EmulatorList, KeepsSixtyFourEntriesAndCountsTheRest) {
  std::string text;
  for (int k = 0; k < 70; ++k) text += "A" + std::to_string(k) + ".DLL ? N N Entry " + std::to_string(k) + "\n";
  EmulatorTable t = ParseEmulatorList(text);
  EXPECT_EQ(t.count, 64);
  EXPECT_EQ(t.refused_beyond_limit, 6);
  EXPECT_STREQ(t.records[63].description, "Entry 63");
}

TEST(EmulatorList, RefusesNamesThatDoNotFitAndCutsLongDescriptions) {
  std::string long_description(200, 'd');
  EmulatorTable t = ParseEmulatorList(
      "ABCDEFGH.DLL ? N N twelve characters fit\n"
      "ABCDEFGHI.DLL ? N N thirteen do not\n"
      "OK.DLL PREFIX789 N N nine-character prefix\n"
      "LONG.DLL ? N N " + long_description + "\n");
  ASSERT_EQ(t.count, 2);
  EXPECT_STREQ(t.records[0].adapter, "ABCDEFGH.DLL");
  EXPECT_STREQ(t.records[1].adapter, "LONG.DLL");
  EXPECT_EQ(std::string(t.records[1].description), long_description.substr(0, 127));
  EXPECT_EQ(t.refused_too_long, (std::vector<std::string>{"ABCDEFGHI.DLL", "OK.DLL"}));
}

TEST(WordLists, VendorLookupIgnoresCaseAndTakesTheFirstPair) {
  std::string pairs = "qor32pcs.dll PCSHLL32.DLL\nQOR32PCS.DLL other.dll\nLONE.DLL";
  VendorLookup v = LookUpVendor(pairs, "Qor32Pcs.Dll");
  ASSERT_TRUE(v.found);
  EXPECT_EQ(v.vendor, "PCSHLL32.DLL");
  EXPECT_EQ(v.adapter, "qor32pcs.dll");
  EXPECT_FALSE(LookUpVendor(pairs, "LONE.DLL").found);  // no second word: no pair
  EXPECT_FALSE(LookUpVendor(pairs, "PCSHLL32.DLL").found);  // second words are not names
  EXPECT_FALSE(LookUpVendor("", "X").found);

  std::vector<LookEntry> look = ParseLookList("a.dll Y A.DLL\nb.dll 9x B.DLL c.dll");
  ASSERT_EQ(look.size(), 2u);
  EXPECT_EQ(look[1].flag, '9');
  EXPECT_EQ(look[1].adapter, "B.DLL");
  std::vector<BuildEntry> build = ParseBuildList("qorprtt SOFTWARE\\VORNTEK\\QORPRT extra");
  ASSERT_EQ(build.size(), 1u);
  EXPECT_EQ(build[0].sub_path, "SOFTWARE\\VORNTEK\\QORPRT");
}

class SearchPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"cwd", "p1", "p2"}) ASSERT_EQ(mkdir((dir_ / d).c_str(), 0700), 0);
  }
  std::string path(const char* name) const { return dir_ / name; }
  TempDir dir_;
};

TEST_F(SearchPathTest, OwnDirectoryThenCurrentDirectoryThenPathInOrder) {
  WriteFile(path("p1/pcshll32.so"), "");
  WriteFile(path("p2/PcsHll32.so"), "");
  std::string list = path("missing") + "::" + path("p1") + ":" + path("p2");
  EXPECT_EQ(FindOnSearchPath("PCSHLL32.DLL", "", path("cwd"), list), path("p1/pcshll32.so"));
  // A provider only in the current directory is found.
  WriteFile(path("cwd/pcshll32.so"), "");
  EXPECT_EQ(FindOnSearchPath("PCSHLL32.DLL", "", path("cwd"), ""), path("cwd/pcshll32.so"));
  EXPECT_EQ(FindOnSearchPath("whlapi32.dll", "", path("cwd"), list), "");
  // The program's own directory comes before both.
  EXPECT_EQ(FindOnSearchPath("PCSHLL32.DLL", path("p2"), path("cwd"), list), path("p2/PcsHll32.so"));
}

TEST_F(SearchPathTest, ProgramNamesMatchExactlyAndDirectoriesDoNotCount) {
  WriteFile(path("p2/qorprtt"), "");
  EXPECT_EQ(FindOnSearchPath("qorprtt", "", path("cwd"), path("p1") + ":" + path("p2")), path("p2/qorprtt"));
  EXPECT_EQ(FindOnSearchPath("QORPRTT", "", path("cwd"), path("p2")), "");
  ASSERT_EQ(mkdir(path("p1/whllapi.so").c_str(), 0700), 0);
  EXPECT_EQ(FindOnSearchPath("WHLLAPI.DLL", "", path("cwd"), path("p1")), "");
  EXPECT_EQ(FindOnSearchPath("", "", path("cwd"), path("p2")), "");
}

TEST(CommandFlags, WordsStartingWithTheFlagsInAnyCase) {
  const char* argv[] = {"qorcnfig", "automatic", "x", "Support-me"};
  CommandFlags f = ParseCommandFlags(4, argv);
  EXPECT_TRUE(f.auto_flag);
  EXPECT_TRUE(f.support_flag);
  const char* quoted[] = {"qorcnfig", "nothing AUTO"};
  f = ParseCommandFlags(2, quoted);
  EXPECT_TRUE(f.auto_flag);
  EXPECT_FALSE(f.support_flag);
  const char* none[] = {"qorcnfig", "AUT", "SUPPOR", "-AUTO"};
  f = ParseCommandFlags(4, none);
  EXPECT_FALSE(f.auto_flag || f.support_flag);
}

EmulatorRecord Record(const char* description, int sf, int appc) {
  EmulatorRecord r{};
  std::snprintf(r.description, sizeof r.description, "%s", description);
  r.structured_fields = static_cast<unsigned char>(sf);
  r.appc = static_cast<unsigned char>(appc);
  return r;
}

TEST(ConfigTexts, FailureReportsForListedAndTypedNames) {
  EmulatorRecord r = Record("Alpha", 1, 1);
  EXPECT_EQ(FailureReport(&r, "ALPHA.DLL", "line 1\nline 2"),
            "Alpha\n\nCannot locate Emulator's .DLL file (ALPHA.DLL)\n\nline 1\nline 2");
  EXPECT_EQ(FailureReport(nullptr, "X.DLL", "help"), "Cannot locate X.DLL file\n\nhelp");
}

TEST(ConfigTexts, ConfirmationSaysWhatTheEmulatorCanDo) {
  EmulatorRecord both = Record("Alpha", 1, 1);
  EXPECT_EQ(ConfirmationText(&both, "A.DLL", "unused", "Blurb"),
            "Alpha\n . Can use Structured Fields\n . Can use APPC\n\nBlurb\n\nO.K. to proceed?");
  EmulatorRecord extended = Record("Beta", 0, 2);
  EXPECT_EQ(ConfirmationText(&extended, "B.DLL", " . Extended APPC", ""),
            "Beta\n . Extended APPC\n\n\nO.K. to proceed?");
  EXPECT_EQ(ConfirmationText(nullptr, "T.DLL", "", ""), "Using T.DLL\n\n\n\nO.K. to proceed?");
  std::string huge(20000, 'x');
  EXPECT_EQ(ConfirmationText(&both, "A.DLL", "", huge).size(), kConfirmationLimit);
}

TEST(ConfigTexts, RowsSplitAtLineFeedsAndAfterEightyCharacters) {
  std::string eighty(80, 'a');
  std::vector<std::string> rows = DialogRows(eighty + "\n" + eighty + "bc\n\nlast\tx\r\n");
  EXPECT_EQ(rows, (std::vector<std::string>{eighty, eighty, "bc", "", "last x"}));
  EXPECT_EQ(DialogRows(""), std::vector<std::string>{});
  EXPECT_EQ(DialogRows("abcdef", 4), (std::vector<std::string>{"abcd", "ef"}));
}

}  // namespace
