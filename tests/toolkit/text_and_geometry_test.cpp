#include <gtest/gtest.h>

#include "toolkit/geometry.h"
#include "toolkit/painter.h"
#include "toolkit/utf8.h"

namespace tk {
namespace {

TEST(CenterWindow, FollowsTheCentringRuleButStaysOnTheScreen) {
  struct Case {
    Size screen;
    int width, height;
    Point want;
  } cases[] = {
      {{80, 25}, 70, 6, {6, 10}},   // main window
      {{80, 25}, 64, 11, {9, 8}},   // start-up window
      {{81, 24}, 50, 17, {16, 4}},  // odd remainders round down
      {{80, 25}, 84, 9, {0, 9}},    // wider than the screen: from its left edge
      {{80, 25}, 80, 25, {0, 0}},   // as large as the screen: the border stays on it
      {{80, 25}, 79, 24, {1, 1}},
  };
  for (const Case& c : cases) {
    Point p = CenterWindow(c.screen, c.width, c.height);
    EXPECT_EQ(p, c.want) << c.screen.cols << "x" << c.screen.rows << " window " << c.width << "x"
                         << c.height;
  }
}

TEST(Rect, IntersectionIsEmptyWhenApart) {
  Rect a{0, 0, 10, 5};
  EXPECT_EQ(a.Intersect({5, 2, 10, 10}), (Rect{5, 2, 5, 3}));
  EXPECT_TRUE(a.Intersect({10, 0, 3, 3}).Empty());
  EXPECT_TRUE(a.Contains({9, 4}));
  EXPECT_FALSE(a.Contains({10, 4}));
}

TEST(Utf8, InvalidBytesAreTakenAsLatin1) {
  EXPECT_EQ(DecodeUtf8("\xe9t\xc3\xa9"), U"\u00e9t\u00e9");
  EXPECT_EQ(DecodeUtf8("\xc3"), U"\u00c3");            // cut short
  EXPECT_EQ(DecodeUtf8("\xc0\xaf"), U"\u00c0\u00af");  // overlong slash
  EXPECT_EQ(EncodeUtf8(U"a\u2500\U0001F600"), "a\xe2\x94\x80\xf0\x9f\x98\x80");
  EXPECT_EQ(UpperCase(U'\u00e9'), U'\u00c9');
  EXPECT_EQ(UpperCase(U'\u00f7'), U'\u00f7');  // the division sign has no case
}

TEST(HotText, MarksTheFirstAmpersandLetter) {
  struct Case {
    const char* in;
    std::u32string text;
    int index;
    char32_t key;
  } cases[] = {
      {"E&xit", U"Exit", 1, U'x'},
      {"&Transfer", U"Transfer", 0, U't'},
      {"Save && &Quit", U"Save & Quit", 7, U'q'},
      {"Trailing&", U"Trailing&", -1, 0},
      {"&A&B", U"AB", 0, U'a'},
      {"plain", U"plain", -1, 0},
  };
  for (const Case& c : cases) {
    HotText h = ParseHotText(c.in);
    EXPECT_EQ(h.text, c.text) << c.in;
    EXPECT_EQ(h.hot_index, c.index) << c.in;
    EXPECT_EQ(h.hot_key, c.key) << c.in;
  }
}

TEST(Painter, ClipsToItsRectangleAndBlanksControlCharacters) {
  CellGrid grid({10, 3});
  Theme theme;
  Painter p(grid, theme, {2, 1}, {2, 1, 5, 1});
  EXPECT_EQ(p.Text(-1, 0, "abcdefghij", theme.window), 10);
  EXPECT_EQ(grid.RowText(1), "  bcdef   ");
  EXPECT_EQ(grid.RowText(0), "          ");
  Painter sub = p.Sub({1, 0, 2, 5});
  sub.Text(0, 0, "\tXYZ", theme.field);
  EXPECT_EQ(grid.RowText(1), "  b Xef   ");
  EXPECT_EQ(grid.At(4, 1).attr, theme.field);
}

TEST(Painter, CentredTextAndFilledCellsMakeABar) {
  CellGrid grid({12, 1});
  Theme theme;
  Painter p(grid, theme, {0, 0}, {0, 0, 12, 1});
  p.Fill({0, 0, 6, 1}, U' ', theme.highlight);
  p.Fill({6, 0, 6, 1}, U' ', theme.window);
  p.CenteredText(0, 0, 12, "50%", theme.highlight_text);
  EXPECT_EQ(grid.RowText(0), "    50%     ");
  EXPECT_EQ(grid.At(0, 0).attr, theme.highlight);
  EXPECT_EQ(grid.At(4, 0).attr, theme.highlight_text);
  EXPECT_EQ(grid.At(11, 0).attr, theme.window);
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

TEST(Utf8, TextCellsCountsCharactersNotBytes) {
  EXPECT_EQ(TextCells("Caf\xc3\xa9"), 4);
  EXPECT_EQ(TextCells(""), 0);
  EXPECT_EQ(TextCells("\xff\xfe"), 2);
}

}  // namespace
}  // namespace tk
