// The configuration program's data: the emulator list and word lists from the
// message file, the search path, the command line and the composed texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "config/command_flags.h"
#include "config/config_texts.h"
#include "config/emulator_list.h"
#include "config/search_path.h"
#include "platform/paths.h"
#include "tests/temp_dir.h"

namespace config {

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
  for (int k = 0; k < 70; ++k)
    text += "A" + std::to_string(k) + ".DLL ? N N Entry " + std::to_string(k) + "\n";
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
      "LONG.DLL ? N N " +
      long_description + "\n");
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
  EXPECT_FALSE(LookUpVendor(pairs, "LONE.DLL").found);      // no second word: no pair
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

// Each case in a directory of its own: the files present (sub/NAME, where a
// name ending in "/" is a directory), the name sought, the program's
// directory, PATH as a list of sub-directories and where the name is found.
TEST(SearchPathTest, OwnDirectoryThenCurrentDirectoryThenPathInOrder) {
#ifdef _WIN32
  const std::string lib = ".DLL", mixed = "PcsHll32.dll";
#else
  const std::string lib = ".so", mixed = "PcsHll32.so";
#endif
  const std::string sep(1, platform::kPathSeparator);
  struct Case {
    std::vector<std::string> files;
    std::string name, program_dir;
    std::vector<std::string> path;
    std::string found_in;
  } cases[] = {
      // Vendor libraries by their Windows names, letter case ignored, first PATH entry that has
      // one.
      {{"p1/pcshll32" + lib, "p2/" + mixed}, "PCSHLL32.DLL", "", {"missing", "", "p1", "p2"}, "p1"},
      // The current directory before PATH; a library there alone counts as found.
      {{"cwd/pcshll32" + lib, "p1/pcshll32" + lib}, "PCSHLL32.DLL", "", {"p1"}, "cwd"},
      {{"cwd/pcshll32" + lib}, "PCSHLL32.DLL", "", {}, "cwd"},
      // The program's own directory before both.
      {{"cwd/pcshll32" + lib, "p2/" + mixed}, "PCSHLL32.DLL", "p2", {"p1"}, "p2"},
      {{"p1/pcshll32" + lib}, "whlapi32.dll", "", {"p1"}, ""},
      {{"p1/whllapi" + lib + "/"}, "WHLLAPI.DLL", "", {"p1"}, ""},  // a directory of that name
      // Other names match as the file system does.
      {{"p2/qorprtt"}, "qorprtt", "", {"p1", "p2"}, "p2"},
      {{"p2/qorprtt"}, "QORPRTT", "", {"p2"}, platform::kNamesIgnoreCase ? "p2" : ""},
      {{"p2/qorprtt"}, "", "", {"p2"}, ""},
      // A program without its suffix, where programs have one.
      {{"p2/qorprtt" + std::string(platform::kProgramSuffix)}, "qorprtt", "", {"p2"}, "p2"},
      {{"p2/qorprtt.txt"}, "qorprtt", "", {"p2"}, ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    auto sub = [&dir](const std::string& name) { return name.empty() ? name : dir / name; };
    for (const char* d : {"cwd", "p1", "p2"}) ASSERT_EQ(mkdir(sub(d).c_str(), 0700), 0);
    for (const std::string& f : c.files) {
      size_t slash = f.find('/');
      std::string path = sub(f.substr(0, slash)) + sep + f.substr(slash + 1);
      if (path.back() == '/')
        ASSERT_EQ(mkdir(path.substr(0, path.size() - 1).c_str(), 0700), 0);
      else
        WriteFile(path, "");
    }
    std::string list;
    for (size_t i = 0; i < c.path.size(); ++i)
      list += (i ? std::string(1, platform::kPathListSeparator) : "") + sub(c.path[i]);
    std::string found = FindOnSearchPath(c.name, sub(c.program_dir), sub("cwd"), list);
    if (c.found_in.empty()) {
      EXPECT_EQ(found, "") << c.name;
    } else {
      EXPECT_EQ(platform::DirectoryPart(found), sub(c.found_in) + sep) << c.name;
      struct stat st;
      EXPECT_TRUE(::stat(found.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) << found;
    }
  }
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

}  // namespace config
