// A command's words as a shell user would write them, without the shell.
#include <gtest/gtest.h>

#include "client/engine/delivery_settings.h"

namespace {

TEST(SplitCommandWordsTest, QuotesAndBackslashesButNoExpansion) {
  struct Case {
    const char* line;
    std::vector<std::string> words;  // empty: refused
  };
  const std::vector<Case> cases = {
      {"lpr -P q", {"lpr", "-P", "q"}},
      {"  tee\t'/srv/a b'  ", {"tee", "/srv/a b"}},
      {R"(x "a \"b\" \\ c\d")", {"x", R"(a "b" \ c\d)"}},
      {R"(a\ b c)", {"a b", "c"}},
      {"x '' y", {"x", "", "y"}},
      {"  /usr/bin/notify  a   b ", {"/usr/bin/notify", "a", "b"}},
      {R"(a\ b '' "q\"" 'it\')", {"a b", "", "q\"", "it\\"}},
      {"ls *.txt $HOME ~ `id`", {"ls", "*.txt", "$HOME", "~", "`id`"}},
      {"lpr 'x", {}},
      {"lpr \"x", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words;
    std::string problem;
    bool ok = client::SplitCommandWords(c.line, &words, &problem);
    EXPECT_EQ(ok, !c.words.empty()) << c.line;
    if (ok) {
      EXPECT_EQ(words, c.words) << c.line;
    }
    EXPECT_EQ(problem.empty(), ok) << c.line;
  }
}

}  // namespace
