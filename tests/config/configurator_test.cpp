// "Ok" and "Auto Config" of the configuration dialog, with the dialogs
// answered by a recording stand-in and the registry in a scratch file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "config/search_path.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "tests/config/config_fixture.h"

namespace config {

namespace {

using namespace config_test;

// Files on the search path, by name, without touching the disk.
FileFinder Present(std::set<std::string> names) {
  return
      [names](const std::string& name) { return names.count(name) ? "/x/" + name : std::string(); };
}

struct Rig {
  explicit Rig(const std::string& source = StandardSource(), CommandFlags flags = {},
               std::set<std::string> present = {"alpha.DLL", "BETA.DLL", "gamma.so",
                                                "typedvendor.DLL", "qorprtt"})
      : files(source), configurator(messages, ui, flags, Present(std::move(present))) {
    EXPECT_EQ(messages.MessageFileOpen(files.message_path().c_str()), 1);
    notice = configurator.LoadList();
  }
  ConfigFiles files;
  common::MessageFile messages;
  RecordingUi ui;
  Configurator configurator;
  std::string notice;
};

TEST(Configurator, NamesOutsideTheAdapterListAreUnknownEvenWhenTheFileExists) {
  Rig rig(StandardSource(), {}, {"NOTLISTED.DLL", "qorprtt"});
  EXPECT_EQ(rig.configurator.Ok("   "), Configurator::Outcome::kStay);
  EXPECT_EQ(rig.configurator.Ok("NOTLISTED.DLL"), Configurator::Outcome::kStay);
  EXPECT_EQ(rig.ui.shown, (std::vector<std::string>{"box: No DLL Specified", "box: DLL unknown"}));
  EXPECT_FALSE(rig.files.registry_written());
}

TEST(Configurator, ListedEntryConfirmedWritesTheThreeValues) {
  Rig rig;
  rig.ui.answers = {kAnswerNo, kAnswerYes};
  rig.configurator.Select(0);
  // NO keeps the dialog and writes nothing.
  EXPECT_EQ(rig.configurator.Ok("ignored"), Configurator::Outcome::kStay);
  EXPECT_FALSE(rig.files.registry_written());
  EXPECT_EQ(rig.configurator.Ok("ignored"), Configurator::Outcome::kClose);
  ASSERT_EQ(rig.ui.shown.size(), 3u);
  EXPECT_EQ(
      rig.ui.shown[0],
      "yesno: Alpha emulator\n . Can use Structured Fields\n . Can use APPC\n\nAlpha blurb\n\n"
      "O.K. to proceed?");
  EXPECT_EQ(rig.ui.shown[2], "session");
  EXPECT_EQ(ClientValue("SESPARMS"), "NORESET");
  EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
  EXPECT_EQ(ClientValue("STRUCTUREDFIELDS"), "Converse");
  EXPECT_TRUE(rig.configurator.Wrote());
}

TEST(Configurator, AppcWordEShowsTheExtendedText) {
  Rig rig;
  rig.ui.answers = {kAnswerYes};
  rig.configurator.Select(1);
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kClose);
  EXPECT_EQ(rig.ui.shown[0],
            "yesno: Beta emulator\n . APPC through the extended interface\n\n\nO.K. to proceed?");
  EXPECT_EQ(ClientValue("DLL"), "BBB.DLL");
  EXPECT_EQ(ClientValue("STRUCTUREDFIELDS"), "No");
}

TEST(Configurator, MissingProviderShowsTheEntrysOwnTextOrTheGeneralOne) {
  Rig rig(StandardSource(), {}, {"qorprtt"});
  rig.configurator.Select(0);
  rig.configurator.Ok("");
  rig.configurator.Select(2);  // CCC has no CCCFAIL text
  rig.configurator.Ok("");
  rig.configurator.Select(-1);
  rig.configurator.Ok("typed.dll");
  EXPECT_EQ(rig.ui.shown, (std::vector<std::string>{
                              "info: Alpha emulator\n\nCannot locate Emulator's .DLL file "
                              "(alpha.DLL)\n\nAlpha failure help",
                              "info: Gamma emulator\n\nCannot locate Emulator's .DLL file "
                              "(gamma.so)\n\nGeneral failure help",
                              "info: Cannot locate typedvendor.DLL file\n\nGeneral failure help"}));
  EXPECT_FALSE(rig.files.registry_written());
}

TEST(Configurator, SupportShowsBothTextsAndNeverWrites) {
  Rig rig(StandardSource(), {false, true});
  rig.ui.answers = {kAnswerYes, kAnswerYes};
  rig.configurator.Select(0);
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kStay);
  rig.configurator.Select(2);  // no CCCFAIL: only the confirmation is shown
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kStay);
  rig.configurator.Select(1);  // no prefix: the general text
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kStay);
  ASSERT_EQ(rig.ui.shown.size(), 5u);
  EXPECT_EQ(rig.ui.shown[0].rfind("info: Alpha emulator\n\nCannot locate", 0), 0u)
      << rig.ui.shown[0];
  EXPECT_EQ(rig.ui.shown[1].rfind("info: Alpha emulator\n . Can use", 0), 0u) << rig.ui.shown[1];
  EXPECT_EQ(rig.ui.shown[2].rfind("info: Gamma emulator\n\n", 0), 0u) << rig.ui.shown[2];
  EXPECT_NE(rig.ui.shown[3].find("General failure help"), std::string::npos);
  EXPECT_EQ(rig.ui.shown[4].rfind("info: Beta emulator\n", 0), 0u);
  EXPECT_EQ(rig.ui.answers.size(), 2u);  // nothing was asked
  EXPECT_FALSE(rig.files.registry_written());
}

TEST(Configurator, TypedNameWritesTheListsAdapterNameNotTheProvider) {
  Rig rig;
  rig.ui.answers = {kAnswerYes, kAnswerYes};
  EXPECT_EQ(rig.configurator.Ok("aaa.dll"), Configurator::Outcome::kClose);
  EXPECT_EQ(rig.ui.shown[0], "yesno: Using alpha.DLL\n\n\n\nO.K. to proceed?");
  EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
  EXPECT_EQ(ClientValue("STRUCTUREDFIELDS"), "Converse");  // as its list entry says
  // Not in the list: nothing is assumed about structured fields.
  EXPECT_EQ(rig.configurator.Ok("Typed.Dll"), Configurator::Outcome::kClose);
  EXPECT_EQ(ClientValue("DLL"), "TYPED.DLL");
  EXPECT_EQ(ClientValue("STRUCTUREDFIELDS"), "No");
}

TEST(Configurator, AnAdapterThatIsItsOwnProviderOffersNoSessionLine) {
  Rig rig(WithText(StandardSource(), "DLLSW95", "|RAZEVU3.DLL RAZEVU3.DLL\n"), {},
          {"RAZEVU3.DLL", "qorprtt"});
  rig.ui.answers = {kAnswerYes};
  EXPECT_EQ(rig.configurator.Ok("razevu3.dll"), Configurator::Outcome::kClose);
  EXPECT_EQ(ClientValue("DLL"), "RAZEVU3.DLL");
  EXPECT_EQ(rig.ui.shown.size(), 1u);  // the question only
}

TEST(Configurator, NoBuildFileFoundClosesWithoutWritingAndSaysSo) {
  Rig rig(StandardSource(), {}, {"alpha.DLL"});
  rig.ui.answers = {kAnswerYes};
  rig.configurator.Select(0);
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kClose);
  EXPECT_FALSE(rig.files.registry_written());
  EXPECT_FALSE(rig.configurator.Wrote());
  ASSERT_EQ(rig.ui.shown.size(), 3u);
  EXPECT_EQ(rig.ui.shown[1].rfind("info: Nothing was written", 0), 0u) << rig.ui.shown[1];
  EXPECT_NE(rig.ui.shown[1].find("qorprtt"), std::string::npos);
}

TEST(Configurator, RegistryWriteFailureIsReported) {
  Rig rig;
  if (platform::RegistryFilePath().empty())
    GTEST_SKIP() << "the system's registry cannot be broken from here";
  // A registry file that cannot be parsed is never overwritten.
  WriteFile(rig.files.dir() / "registry.reg", "garbage\n[unterminated\n");
  rig.ui.answers = {kAnswerYes};
  rig.configurator.Select(0);
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kClose);
  ASSERT_GE(rig.ui.shown.size(), 2u);
  EXPECT_EQ(rig.ui.shown[1].rfind("info: The settings could not all be written", 0), 0u)
      << rig.ui.shown[1];
  EXPECT_FALSE(rig.configurator.Wrote());
}

TEST(Configurator, EveryBuildTargetFoundIsWrittenAndOthersSkipped) {
  Rig rig(WithText(StandardSource(), "BUILDW95",
                   "|qorprtt SOFTWARE\\VORNTEK\\QORPRT\n|absent SOFTWARE\\OTHER\n|qorprtt "
                   "SOFTWARE\\QORTEST\\COPY\n"));
  rig.ui.answers = {kAnswerYes};
  rig.configurator.Select(2);
  EXPECT_EQ(rig.configurator.Ok(""), Configurator::Outcome::kClose);
  EXPECT_EQ(rig.configurator.LastWrite().keys_written, 2);
  EXPECT_EQ(rig.configurator.LastWrite().skipped, std::vector<std::string>{"absent"});
  EXPECT_EQ(RegistryGet("SOFTWARE\\QORTEST\\COPY", "DLL"), "CCC.DLL");
  EXPECT_EQ(RegistryGet("SOFTWARE\\OTHER", "DLL"), "<no key>");
}

TEST(AutoConfig, NoneOneOrSeveralProvidersFound) {
  std::string source = WithText(StandardSource(), "LOOKW95",
                                "|alpha.DLL Y AAA.DLL\n|mixed.dll 9 CCC.DLL\n|amb.dll X CCC.DLL\n");
  {
    Rig rig(source, {}, {"qorprtt"});
    EXPECT_EQ(rig.configurator.AutoConfig().outcome, Configurator::Outcome::kStay);
    EXPECT_EQ(rig.ui.shown, std::vector<std::string>{"info: none found"});
  }
  {
    Rig rig(source, {}, {"mixed.dll", "qorprtt"});
    rig.configurator.AutoConfig();
    EXPECT_EQ(rig.ui.shown,
              std::vector<std::string>{"info: Found vendor dll: mixed.dll\n\nmixed installation"});
  }
  {
    Rig rig(source, {}, {"amb.dll", "qorprtt"});
    Configurator::AutoResult r = rig.configurator.AutoConfig();
    EXPECT_FALSE(r.fill_field);
    EXPECT_EQ(rig.ui.shown,
              std::vector<std::string>{"info: Found vendor dll: amb.dll\n\nambiguous"});
  }
  {
    Rig rig(source, {}, {"alpha.DLL", "amb.dll", "qorprtt"});
    rig.configurator.Select(2);
    Configurator::AutoResult r = rig.configurator.AutoConfig();
    EXPECT_EQ(r.outcome, Configurator::Outcome::kStay);
    EXPECT_FALSE(r.fill_field);
    EXPECT_EQ(rig.configurator.Selected(), 2);  // changes nothing
    EXPECT_EQ(rig.ui.shown, std::vector<std::string>{"info: too many"});
  }
  EXPECT_EQ(ClientValue("DLL"), "<absent>");
}

TEST(AutoConfig, OneProviderWithFlagYGoesOnAsOkWithWhatItFound) {
  Rig rig;
  rig.ui.answers = {kAnswerYes};
  rig.configurator.Select(2);  // a different entry was selected before
  Configurator::AutoResult r = rig.configurator.AutoConfig();
  EXPECT_EQ(r.outcome, Configurator::Outcome::kClose);
  EXPECT_TRUE(r.fill_field);
  EXPECT_EQ(r.field, "AAA.DLL");
  EXPECT_EQ(rig.configurator.Selected(), 0);
  EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
  // Declined: the dialog stays with the found adapter shown.
  Rig declined;
  declined.ui.answers = {kAnswerNo};
  r = declined.configurator.AutoConfig();
  EXPECT_EQ(r.outcome, Configurator::Outcome::kStay);
  EXPECT_EQ(r.field, "AAA.DLL");
}

TEST(Configurator, ListBeyondSixtyFourEntriesIsCutWithANotice) {
  std::string list;
  for (int k = 0; k < 65; ++k)
    list += "|E" + std::to_string(k) + ".DLL ? N N Emulator " + std::to_string(k) + "\n";
  Rig rig(WithText(StandardSource(), "LISTW95", list));
  EXPECT_EQ(rig.configurator.GetTable().count, 64);
  EXPECT_EQ(rig.notice,
            "Only the first 64 entries of the emulator list are shown (1 more left out).");
  Rig plain;
  EXPECT_EQ(plain.notice, "");
}

TEST(Configurator, MissingKeysGiveEmptyTextsAndTheDialogsStillAppear) {
  std::string source = WithoutKey(WithoutKey(StandardSource(), "AAABLURB"), "NULLW95");
  Rig rig(source, {}, {"qorprtt"});
  rig.configurator.AutoConfig();
  EXPECT_EQ(rig.ui.shown, std::vector<std::string>{"info: "});
}

TEST(Configurator, ProviderOnlyInTheCurrentDirectoryIsFound) {
  ConfigFiles files;
  ASSERT_EQ(mkdir((files.dir() / "run").c_str(), 0700), 0);
  WriteFile(
      files.dir() / "run" + platform::kPathSeparator + platform::SharedObjectName("alpha.DLL"), "");
  WriteFile(files.dir() / "run/qorprtt", "");
  ScopedCwd cwd(files.dir() / "run");
  ScopedEnv path("PATH", files.dir() / "nowhere");
  common::MessageFile messages;
  ASSERT_EQ(messages.MessageFileOpen(files.message_path().c_str()), 1);
  RecordingUi ui;
  ui.answers = {kAnswerYes};
  Configurator configurator(messages, ui, {});
  configurator.LoadList();
  configurator.Select(0);
  EXPECT_EQ(configurator.Ok(""), Configurator::Outcome::kClose);
  EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
}

}  // namespace

}  // namespace config
