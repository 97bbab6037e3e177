// The compiled message files in the program directory: sound structure, every
// key the programs ask for, labels that fit their windows and the text pool,
// format texts that take exactly the arguments their callers pass, and the
// configuration program's emulator data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/message_file.h"
#include "messages/message_source.h"
#include "tests/messages/image_reader.h"

namespace {

const std::string kBinDir = QOR_BIN_DIR;
const std::string kSourceDir = std::string(QOR_SOURCE_DIR) + "/messages";

// The client's window, menu and button texts, loaded into the pool at start-up.
const char* const kInterfaceTexts[] = {
    "OK",        "CANCEL",     "YES",      "NO",        "ABORT",     "RETRY",     "HELP",
    "TITLE",     "OPTIONS",    "3270INT",  "PARMS",     "SAVEOPT",   "TRANSFER",  "UNATTEND",
    "IMMEDIATE", "LOG",        "EXIT",     "3270TITLE", "CONOPTS",   "USE1ST",    "SPECIFIC",
    "SESSID",    "TIMEOUT",    "FLICKER",  "EMULATOR",  "PARMTITLE", "FILENAME",  "PATH",
    "DRIVES",    "DIRECTORYS", "FILES",    "DWNTITLE",  "DWNLINES",  "DWNPAGES",  "DWNDUPL",
    "DWNREP",    "DWNCAN",     "DWNREN",   "DWNCHANGE", "DWNTOPRTR", "DWNTOFILE", "DWNDEST",
    "DWNFILE",   "DWNASCII",   "AUTTITLE", "AUTCHANGE", "DELAY",     "AUTDIR",    "STWAIT",
    "STTRANS",   "STDONE",     "XFRTITLE", "XFRING",    "XFRTO",     "XFRPAGE",   "XFRLINE",
    "XFRCHAR",   "LOGTITLE",   "LOGPRT",   "LOGDEL",    "HELPINDEX", "ABOUT",     "GENHELP",
    "NOHELP",    "PRTRTITLE",  "PRTR",     "FONT",      "MODE",      "PSTRTITLE", "PSTRINIT",
    "PSTRTERM",  "HELPIXTITLE"};
// Single-line texts read later, one at a time.
const char* const kLateLabels[] = {"DLLNAM", "PARMS1", "PARMS2", "PARMS3", "DLLLOAD"};
// Keyed messages and the help topics their Help buttons open.
const char* const kKeyedMessages[][2] = {{"3270ERR", "HELP-702"},  {"NOTQOR", "HELP-703"},
                                         {"NOTLEVEL", "HELP-704"}, {"DUPLFILE", "HELP-705"},
                                         {"FILEERR", "HELP-706"},  {"FILEWRITE", "HELP-707"},
                                         {"PRTALRDY", "HELP-708"}};
// Topics the client's windows open by key.
const char* const kHelpTopics[] = {"GENERAL", "IRMABLURB", "3270INTF", "3270PARMS",
                                   "DWNDLOG", "XFRLOG",    "FILEHELP", "PRTRHELP"};

std::string Visible(const std::string& label) {
  std::string v;
  for (char c : label)
    if (c != '&') v += c;
  return v;
}

// printf conversions of a text, as their length modifier and letter ("s", "ld").
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      i = j;
      continue;
    }
    while (j < text.size() && std::strchr("-+ #0123456789.*", text[j])) ++j;
    std::size_t start = j;
    while (j < text.size() && std::strchr("hlLqjzt", text[j])) ++j;
    if (j < text.size()) ++j;
    out.push_back(text.substr(start, j - start));
    i = j - 1;
  }
  return out;
}

class CompiledFile {
 public:
  explicit CompiledFile(const std::string& name)
      : path_(kBinDir + "/" + name + ".QOR"), report_(ReadImage(ReadFileBytes(path_))) {
    for (const ImageEntry& e : report_.entries) by_key_.emplace(e.key, &e);
  }
  const std::string& path() const { return path_; }
  const ImageReport& report() const { return report_; }
  const ImageEntry* Find(const std::string& key) const {
    auto it = by_key_.find(key);
    return it == by_key_.end() ? nullptr : it->second;
  }
  std::string First(const std::string& key) const {
    const ImageEntry* e = Find(key);
    return e && !e->lines.empty() ? e->lines[0] : std::string();
  }

 private:
  std::string path_;
  ImageReport report_;
  std::map<std::string, const ImageEntry*> by_key_;
};

const CompiledFile& Client() {
  static const CompiledFile f("QORPRTW");
  return f;
}
const CompiledFile& Config() {
  static const CompiledFile f("QORCNFIG");
  return f;
}

bool InHelpIndex(const ImageEntry& e) { return !e.title.empty() && e.title[0] != '@'; }

TEST(CompiledMessageFiles, AreSoundAndHoldExactlyTheirSources) {
  for (const char* name : {"QORPRTW", "QORCNFIG"}) {
    CompiledFile file(name);
    const ImageReport& r = file.report();
    for (const std::string& p : r.problems) ADD_FAILURE() << name << ": " << p;
    EXPECT_GT(r.first_number, 0) << name;

    messages::ParsedSource source =
        messages::ParseMessageSource(ReadFileBytes(kSourceDir + "/" + name + ".txt"));
    ASSERT_TRUE(source.errors.empty()) << name;
    ASSERT_EQ(r.entries.size(), source.entries.size()) << name << " is older than its source";
    for (std::size_t i = 0; i < r.entries.size(); ++i) {
      EXPECT_EQ(r.entries[i].key, source.entries[i].key);
      EXPECT_EQ(r.entries[i].title, source.entries[i].title) << r.entries[i].key;
      EXPECT_EQ(r.entries[i].lines, source.entries[i].lines) << r.entries[i].key;
    }
  }
}

TEST(ClientMessageFile, AnswersEveryKeyTheClientAsksFor) {
  common::MessageFile file([](const char* text) { ADD_FAILURE() << "failure shown: " << text; });
  ASSERT_EQ(file.MessageFileOpen(Client().path().c_str()), 1);
  auto single_line = [&file](const char* key) {
    const char* text = file.MessageText(key, common::MessageFile::TextLife::kUntilNextLookup);
    ASSERT_NE(text, nullptr) << key;
    EXPECT_NE(*text, '\0') << key;
    EXPECT_EQ(file.MessageLines(key).size(), 1u) << key << ": labels are single lines";
  };
  for (const char* key : kInterfaceTexts) single_line(key);
  for (const char* key : kLateLabels) single_line(key);
  for (const auto& [message, topic] : kKeyedMessages) {
    EXPECT_GE(file.MessageLines(message).size(), 2u) << message;
    EXPECT_GE(file.MessageLines(topic).size(), 3u) << topic;
  }
  for (const char* topic : kHelpTopics) EXPECT_GE(file.MessageLines(topic).size(), 5u) << topic;
}

TEST(ClientMessageFile, HelpIndexListsTheTopicsAndNoLabels) {
  std::set<std::string> topics(std::begin(kHelpTopics), std::end(kHelpTopics));
  for (const auto& km : kKeyedMessages) topics.insert(km[1]);
  for (const std::string& key : topics) {
    const ImageEntry* e = Client().Find(key);
    ASSERT_NE(e, nullptr) << key;
    EXPECT_TRUE(InHelpIndex(*e)) << key << " has no help-index title";
  }
  for (const char* key : kInterfaceTexts) EXPECT_FALSE(InHelpIndex(*Client().Find(key))) << key;
  for (const auto& km : kKeyedMessages) EXPECT_FALSE(InHelpIndex(*Client().Find(km[0]))) << km[0];
  for (const ImageEntry& e : Client().report().entries) {
    if (!InHelpIndex(e)) continue;
    EXPECT_FALSE(e.lines.empty()) << e.key;
    for (const std::string& line : e.lines)
      EXPECT_LE(line.size() - (line.rfind('%', 0) == 0), 66u) << e.key << ": " << line;
  }
}

TEST(ClientMessageFile, InterfaceTextsFitWellWithinTheTextPool) {
  common::MessageFile file([](const char* text) { ADD_FAILURE() << "failure shown: " << text; });
  ASSERT_EQ(file.MessageFileOpen(Client().path().c_str()), 1);
  for (const char* key : kInterfaceTexts)
    EXPECT_NE(file.MessageText(key, common::MessageFile::TextLife::kPermanent), nullptr) << key;
  std::cout << "interface texts use " << file.PoolUsed() << " of " << common::MessageFile::kPoolSize
            << " pool bytes\n";
  // Room is left for translations, which run longer than English.
  EXPECT_LE(file.PoolUsed(), 2048u);
}

TEST(ClientMessageFile, FormatTextsTakeExactlyTheCallersArguments) {
  const std::map<std::string, std::vector<std::string>> formats = {
      {"XFRING", {"s", "s"}}, {"STTRANS", {"s", "s"}}, {"XFRTO", {"s"}}, {"DLLLOAD", {"s", "l"}}};
  for (const auto& [key, expected] : formats) {
    std::vector<std::string> got = Conversions(Client().First(key));
    // DLLLOAD's error code is a long: "%ld" (or "%lu", "%lx").
    if (key == "DLLLOAD" && got.size() == 2 && got[1].size() == 2 && got[1][0] == 'l') got[1] = "l";
    EXPECT_EQ(got, expected) << key << ": " << Client().First(key);
  }
  // Everything else is shown as it stands, so a '%' there would be a trap for
  // any caller that formats it; help lines may only start with one (a marked line).
  for (const CompiledFile* file : {&Client(), &Config()}) {
    for (const ImageEntry& e : file->report().entries) {
      if (formats.count(e.key) && file == &Client()) continue;
      for (const std::string& line : e.lines) {
        std::string rest = InHelpIndex(e) && line.rfind('%', 0) == 0 ? line.substr(1) : line;
        EXPECT_EQ(rest.find('%'), std::string::npos) << e.key << ": " << line;
      }
    }
  }
  // The longest job prefix and name still fit the transfer window and status line.
  char buf[256];
  std::snprintf(buf, sizeof buf, Client().First("XFRING").c_str(), "ABC", "ABCDEFG,123456");
  EXPECT_LE(std::strlen(buf), 45u) << buf;
  std::snprintf(buf, sizeof buf, Client().First("STTRANS").c_str(), "ABC", "ABCDEFG,123456");
  EXPECT_LE(std::strlen(buf), 66u) << buf;
}

TEST(ClientMessageFile, LabelsFitTheirPlacesInTheWindows) {
  const std::map<std::string, std::size_t> widths = {
      // buttons 10 cells wide
      {"OK", 8},
      {"CANCEL", 8},
      {"YES", 8},
      {"NO", 8},
      {"ABORT", 8},
      {"RETRY", 8},
      {"HELP", 8},
      {"FONT", 8},
      {"MODE", 8},
      {"LOGPRT", 13},
      {"LOGDEL", 13},
      {"DWNCHANGE", 14},
      {"AUTCHANGE", 14},
      // labels in front of fields and numbers
      {"DWNLINES", 15},
      {"DWNPAGES", 15},
      {"FILENAME", 12},
      {"PATH", 12},
      {"DRIVES", 7},
      {"DIRECTORYS", 27},
      {"FILES", 26},
      {"PRTR", 10},
      {"XFRPAGE", 20},
      {"XFRLINE", 20},
      {"XFRCHAR", 20},
      {"SESSID", 20},
      {"TIMEOUT", 20},
      {"FLICKER", 20},
      {"EMULATOR", 20},
      {"DLLNAM", 20},
      // groups, radio buttons and the check box of the job dialog
      {"DWNDEST", 38},
      {"DWNDUPL", 18},
      {"DWNTOFILE", 15},
      {"DWNTOPRTR", 14},
      {"DWNREP", 13},
      {"DWNCAN", 13},
      {"DWNREN", 13},
      {"DWNASCII", 26},
      // window titles and one-line texts
      {"TITLE", 60},
      {"DWNTITLE", 46},
      {"AUTTITLE", 46},
      {"XFRTITLE", 53},
      {"LOGTITLE", 66},
      {"3270TITLE", 40},
      {"PARMTITLE", 40},
      {"PRTRTITLE", 40},
      {"DWNFILE", 40},
      {"AUTDIR", 40},
      {"STWAIT", 66},
      {"NOHELP", 66},
      {"PARMS1", 50},
      {"PARMS2", 50},
      {"PARMS3", 50}};
  for (const auto& [key, width] : widths)
    EXPECT_LE(Visible(Client().First(key)).size(), width) << key << ": " << Client().First(key);
  for (const auto& km : kKeyedMessages)
    for (const std::string& line : Client().Find(km[0])->lines)
      EXPECT_LE(line.size(), 60u) << km[0];
}

TEST(ClientMessageFile, HotKeysAreUniqueWithinEachWindowAndMenu) {
  const std::vector<std::vector<std::string>> groups = {
      {"&Exit", "TRANSFER", "OPTIONS", "HELP"},
      {"IMMEDIATE", "UNATTEND", "LOG"},
      {"3270INT", "PARMS"},
      {"GENHELP", "HELPINDEX", "ABOUT"},
      {"DWNTOFILE", "DWNTOPRTR", "DWNREP", "DWNCAN", "DWNREN", "DWNCHANGE", "DWNASCII", "OK",
       "CANCEL", "HELP"},
      {"DWNTOFILE", "DWNTOPRTR", "DWNREP", "DWNCAN", "DWNREN", "AUTCHANGE", "OK", "CANCEL", "HELP"},
      {"OK", "LOGPRT", "LOGDEL", "HELP"},
      {"OK", "YES", "NO", "CANCEL", "ABORT", "RETRY", "HELP"},
      {"MODE", "FONT", "OK", "CANCEL", "HELP"}};
  for (const auto& group : groups) {
    std::map<char, std::string> seen;
    for (const std::string& key : group) {
      std::string text = key[0] == '&' ? key : Client().First(key);
      std::size_t amp = text.find('&');
      if (amp == std::string::npos) continue;
      EXPECT_EQ(text.find('&', amp + 1), std::string::npos) << key << ": one hot key only";
      ASSERT_LT(amp + 1, text.size()) << key;
      char hot = static_cast<char>(std::toupper(static_cast<unsigned char>(text[amp + 1])));
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(hot))) << key;
      auto [it, fresh] = seen.emplace(hot, key);
      EXPECT_TRUE(fresh) << key << " and " << it->second << " share the hot key " << hot;
    }
  }
}

TEST(ClientMessageFile, HelpTeachesTheEmulatorSetUp) {
  std::string help;
  for (const ImageEntry& e : Client().report().entries)
    if (InHelpIndex(e))
      for (const std::string& line : e.lines) help += line + "\n";
  for (const char* must :
       {"A s3270 ", "A script 127.0.0.1:", "A sim ", "QOR_SESSIONS", "~/.config/qorprt/sessions",
        "-scriptport", "qorcnfig", "registry.reg", "QOR_REGISTRY", "RAZEVU3.DLL", "QORPRTW.TRC"})
    EXPECT_NE(help.find(must), std::string::npos) << must;
}

// The Windows programs' texts name what is there: its sessions file, DLLs
// and the script-port emulator the user starts, never an s3270 they would
// start themselves.
TEST(MessageSources, WindowsTextsSayWhatIsTrueOnWindows) {
  for (const char* name : {"QORPRTW", "QORCNFIG"}) {
    messages::ParsedSource source = messages::ParseMessageSource(
        ReadFileBytes(kSourceDir + "/" + name + ".txt"), messages::System::kWindows);
    ASSERT_TRUE(source.errors.empty()) << name;
    std::string all;
    for (const messages::MessageEntry& e : source.entries)
      for (const std::string& line : e.lines) all += line + "\n";
    for (const char* linux_only :
         {"~/.config", "~/.local", ".so ", ".so.", ".so\n", "starts s3270", "On Linux the emulator",
          "A s3270 ", " c3270 -scriptport", "XDG_", "CUPS", "case-sensitive", "QOR_REGISTRY",
          "QOR_PROFILE", "\"/\"", "/home/"})
      EXPECT_EQ(all.find(linux_only), std::string::npos) << name << ": " << linux_only;
    for (const char* windows : {"%APPDATA%\\qorprt\\sessions", "ws3270 -scriptport"})
      EXPECT_NE(all.find(windows), std::string::npos) << name << ": " << windows;
  }
}

TEST(ClientMessageFile, HelpNamesTheControlsAsTheWindowsLabelThem) {
  std::string help;
  for (const ImageEntry& e : Client().report().entries)
    if (InHelpIndex(e))
      for (const std::string& line : e.lines) help += line + "\n";
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  help = lower(help);
  for (const char* key : {"IMMEDIATE", "UNATTEND", "LOG", "3270INT", "PARMS", "DWNTOFILE",
                          "DWNTOPRTR", "DWNREP", "DWNCAN", "DWNREN", "DWNCHANGE", "DWNASCII",
                          "AUTCHANGE", "LOGPRT", "LOGDEL", "MODE", "FONT"}) {
    std::string label = Visible(Client().First(key));
    label = label.substr(0, std::min(label.find("..."), label.find("   ")));
    EXPECT_NE(help.find(lower(label)), std::string::npos) << key << ": \"" << label << "\"";
  }
}

// ---- The configuration program's file ----

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct ListEntry {
  std::string adapter, prefix, sf, appc, description;
};

std::vector<ListEntry> EmulatorList(const std::string& list) {
  std::vector<ListEntry> out;
  std::istringstream in(list);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    ListEntry e;
    words >> e.adapter >> e.prefix >> e.sf >> e.appc;
    std::getline(words >> std::ws, e.description);
    if (!e.adapter.empty()) out.push_back(e);
  }
  return out;
}

// Rows of the configuration program's information dialogs: split at line
// feeds and after 80 characters.
std::size_t DialogRows(const std::string& text) {
  std::size_t rows = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    rows += line.empty() ? 1 : (line.size() + 79) / 80;
  return rows;
}

TEST(ConfigMessageFile, HoldsEveryKeyWithoutAHashTheReaderWouldStopAt) {
  common::MessageFile file([](const char* text) { ADD_FAILURE() << "failure shown: " << text; });
  ASSERT_EQ(file.MessageFileOpen(Config().path().c_str()), 1);
  for (const char* key : {"LISTW95", "DLLSW95", "LOOKW95", "BUILDW95", "FAILW95", "EAPPC",
                          "NULLW95", "MIXEDW31", "AMBIGUOUS", "TOOMANY", "HALP"})
    EXPECT_FALSE(file.MessageLinesJoined(key).empty()) << key;
  for (const ImageEntry& e : Config().report().entries)
    for (const std::string& line : e.lines) {
      EXPECT_EQ(line.find('#'), std::string::npos) << e.key << ": " << line;
      // 77: what a dialog shows on one row of an 80-column terminal.
      EXPECT_LE(line.size(), e.key == "LISTW95"   ? 160u
                             : e.key == "SESSW95" ? 74u
                                                  : 77u)
          << e.key << ": " << line;
    }
}

TEST(ConfigMessageFile, EmulatorListMapsEveryAdapterToAProviderAndExplainsIt) {
  common::MessageFile file;
  ASSERT_EQ(file.MessageFileOpen(Config().path().c_str()), 1);
  std::vector<ListEntry> list = EmulatorList(file.MessageLinesJoined("LISTW95"));
  ASSERT_EQ(list.size(), 4u);

  std::vector<std::string> pairs = Words(file.MessageLinesJoined("DLLSW95"));
  ASSERT_EQ(pairs.size() % 2, 0u);
  std::map<std::string, std::string> provider;
  for (std::size_t i = 0; i < pairs.size(); i += 2) provider.emplace(Upper(pairs[i]), pairs[i + 1]);

  std::set<std::string> adapters;
  for (const ListEntry& e : list) {
    EXPECT_LE(e.adapter.size(), 12u) << e.adapter;
    EXPECT_TRUE(e.prefix == "?" || e.prefix.size() <= 8) << e.prefix;
    EXPECT_FALSE(e.sf.empty());
    EXPECT_FALSE(e.appc.empty());
    EXPECT_FALSE(e.description.empty()) << e.adapter;
    EXPECT_LE(e.description.size(), 74u) << e.adapter << ": the list shows it on one row";
    EXPECT_TRUE(provider.count(Upper(e.adapter))) << e.adapter << " missing from DLLSW95";
    adapters.insert(Upper(e.adapter));

    // What the dialogs compose for this entry stays within one screen of rows.
    std::string fail = file.MessageLinesJoined((e.prefix + "FAIL").c_str());
    std::string blurb = file.MessageLinesJoined((e.prefix + "BLURB").c_str());
    EXPECT_FALSE(fail.empty()) << e.prefix;
    EXPECT_FALSE(blurb.empty()) << e.prefix;
    std::string report = e.description + "\n\nCannot locate Emulator's .DLL file (" +
                         provider[Upper(e.adapter)] + ")\n\n" + fail;
    std::string confirm = e.description + "\n" +
                          (e.sf[0] != 'N' ? " . Can use Structured Fields\n" : "") +
                          (e.appc[0] == 'E'   ? file.MessageLinesJoined("EAPPC")
                           : e.appc[0] != 'N' ? " . Can use APPC\n"
                                              : "") +
                          "\n" + blurb + "\n\nO.K. to proceed?";
    EXPECT_LE(DialogRows(report), 15u) << e.adapter;
    EXPECT_LE(DialogRows(confirm), 15u) << e.adapter;
  }
  EXPECT_TRUE(adapters.count("QOR32PCS.DLL"));

  // Auto Config looks for providers that ship together: one triple, or it
  // would always answer "too many".
  std::vector<std::string> look = Words(file.MessageLinesJoined("LOOKW95"));
  ASSERT_EQ(look.size(), 3u);
  EXPECT_EQ(look[1], "Y");
  EXPECT_TRUE(adapters.count(Upper(look[2]))) << look[2];
  EXPECT_EQ(Upper(provider[Upper(look[2])]), Upper(look[0]));

  std::vector<std::string> build = Words(file.MessageLinesJoined("BUILDW95"));
  ASSERT_EQ(build.size(), 2u);
  EXPECT_EQ(build[1], "SOFTWARE\\VORNTEK\\QORPRT");
  EXPECT_LE(DialogRows(file.MessageLinesJoined("HALP")), 15u);
}

}  // namespace
