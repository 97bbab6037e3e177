// What a terminal without UTF-8 is given instead of the characters the
// windows draw.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "toolkit/ascii_fallback.h"
#include "toolkit/utf8.h"

namespace tk {
namespace {

namespace fs = std::filesystem;

// The code point of a \u or \U escape starting at text[at] (the backslash).
char32_t Escaped(const std::string& text, size_t at, size_t* length) {
  *length = text[at + 1] == 'u' ? 6 : 10;
  return static_cast<char32_t>(std::stoul(text.substr(at + 2, *length - 2), nullptr, 16));
}

// The non-ASCII characters of a C++ source's string and character literals,
// written out or as \u escapes; comments are skipped.
std::set<char32_t> LiteralCharacters(const std::string& source) {
  std::set<char32_t> found;
  std::string literal;
  for (size_t i = 0; i < source.size(); ++i) {
    if (source.compare(i, 2, "//") == 0) {
      i = source.find('\n', i);
      if (i == std::string::npos) break;
    } else if (source.compare(i, 2, "/*") == 0) {
      i = source.find("*/", i);
      if (i == std::string::npos) break;
      ++i;
    } else if (source[i] == '"' || source[i] == '\'') {
      const char quote = source[i];
      for (++i; i < source.size() && source[i] != quote; ++i) {
        size_t length = 1;
        if (source[i] == '\\' && (source[i + 1] == 'u' || source[i + 1] == 'U')) {
          found.insert(Escaped(source, i, &length));
          i += length - 1;
        } else if (source[i] == '\\') {
          ++i;
        } else {
          literal += source[i];
        }
      }
    }
  }
  for (char32_t c : DecodeUtf8(literal))
    if (c >= 0x80) found.insert(c);
  return found;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every character the toolkit, the client and the configuration program put
// in a window, and every message text, has a stand-in: none shows as '?'.
TEST(AsciiFallback, EveryCharacterTheWindowsDrawHasAStandIn) {
  const fs::path root(QOR_SOURCE_DIR);
  int sources = 0;
  for (const char* folder : {"toolkit", "client", "config", "common"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      ++sources;
      for (char32_t c : LiteralCharacters(ReadAll(entry.path()))) {
        EXPECT_NE(AsciiFallback(c), '?')
            << entry.path() << ": U+" << std::hex << static_cast<unsigned>(c);
      }
    }
  }
  EXPECT_GT(sources, 50);
  for (const char* file : {"messages/QORPRTW.txt", "messages/QORCNFIG.txt"}) {
    std::istringstream lines(ReadAll(root / file));
    std::string line;
    int texts = 0;
    while (std::getline(lines, line)) {
      if (line.empty() || line[0] != '|') continue;
      ++texts;
      for (char32_t c : DecodeUtf8(line)) EXPECT_TRUE(c < 0x80 || AsciiFallback(c) != '?') << line;
    }
    EXPECT_GT(texts, 50) << file;
  }
  // What the client's status line says, as such a terminal shows it.
  EXPECT_EQ(AsciiText(U"F6 takes the waiting job \u00b7 F10 menu"),
            "F6 takes the waiting job - F10 menu");
  EXPECT_EQ(AsciiText(U"\u2554\u2550[\u25a0]\u2557 \u00e9\u4e2d"), "+=[#]+ ??");
}

TEST(AsciiFallback, OnlyAUtf8CodesetCountsAsUtf8) {
  for (const char* yes : {"UTF-8", "utf8", "utf-8"}) EXPECT_TRUE(CodesetIsUtf8(yes)) << yes;
  for (const char* no : {"ANSI_X3.4-1968", "ISO-8859-1", "EUC-JP", "", "UTF-16"})
    EXPECT_FALSE(CodesetIsUtf8(no)) << no;
}

}  // namespace
}  // namespace tk
