// Data-screen encoding: screens worked out by hand from the tables, and round
// trips through the independent reference decoder.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "hostsim/screen_encoder.h"
#include "tests/hostsim/reference_decoder.h"

using hostsim::JobEncoder;
using hostsim::ScreenForm;

namespace {

std::vector<std::string> encode(const std::string& job, ScreenForm form = ScreenForm::kPlain,
                                std::size_t capacity = hostsim::kScreenTextCapacity) {
  JobEncoder encoder(job, form, capacity);
  std::vector<std::string> screens;
  while (!encoder.GetDone()) screens.push_back(encoder.NextScreen());
  return screens;
}

// Paints every screen, copies it back as the client does, decodes and joins
// the blocks. Also checks what must hold for every single screen.
std::string round_trip(const std::string& job, ScreenForm form, std::size_t capacity) {
  reference::Decoder decoder(form == ScreenForm::kLengthPrefixed);
  std::string out;
  for (const std::string& screen : encode(job, form, capacity)) {
    EXPECT_LE(screen.size(), capacity);
    EXPECT_FALSE(screen.empty());
    EXPECT_NE(screen.back(), ' ') << "a trailing blank would be cut by the client";
    auto block = decoder.decode(reference::copy_screen(screen));
    EXPECT_TRUE(block.has_value()) << "screen refused: " << screen;
    if (!block) break;
    EXPECT_FALSE(decoder.carry_pending()) << "a run crosses the end of screen: " << screen;
    EXPECT_EQ(block->find('\0'), std::string::npos);
    out += reference::up_to_zero(*block);
  }
  return out;
}

void expect_round_trip(const std::string& job,
                       std::size_t capacity = hostsim::kScreenTextCapacity) {
  EXPECT_EQ(round_trip(job, ScreenForm::kPlain, capacity), job);
  EXPECT_EQ(round_trip(job, ScreenForm::kLengthPrefixed, capacity), job);
}

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

}  // namespace

TEST(ScreenEncoder, HandWorkedScreens) {
  // EBCDIC letters sit in the starting table; ASCII needs the '=' shift.
  EXPECT_EQ(encode(bytes({0xC8, 0xC5, 0xD3, 0xD3, 0xD6})), std::vector<std::string>{"HELLO"});
  EXPECT_EQ(encode("Hello"), std::vector<std::string>{"=Hello"});
  // Carriage return + line feed travel as the one new-line byte.
  EXPECT_EQ(encode(bytes({0xC1, 0xC2, 0x0D, 0x0A, 0xC3, 0xC4})),
            std::vector<std::string>{"AB*V;CD"});
  // A literal '~' is a run of one '~'; a lone 0x15 is a run of one 0x15.
  // (ASCII 'a' is 0x61, which the starting table gives for '/', saving a shift.)
  EXPECT_EQ(encode("a~b"), std::vector<std::string>{"/*(=A*(=b"});
  EXPECT_EQ(encode(bytes({0x15})), std::vector<std::string>{"*(=A*V"});
  // 64 EBCDIC blanks: marker, a second marker as count 64, the blank as '{' at the end.
  EXPECT_EQ(encode(std::string(64, '\x40')), std::vector<std::string>{"*((;{"});
  // A blank that ends the screen travels as '{'; length-prefixed screens use '{' throughout.
  EXPECT_EQ(encode("A "), std::vector<std::string>{"=A{"});
  EXPECT_EQ(encode("A B", ScreenForm::kLengthPrefixed), std::vector<std::string>{"0004,=A{B"});
  // '*', ';' and the apostrophe come from the substitutes in the '=' table.
  EXPECT_EQ(encode("*;'"), std::vector<std::string>{"=<>_"});
  EXPECT_EQ(hostsim::EndMarkerScreen(ScreenForm::kPlain), "'4=-+ENDPRINT+-'4");
  EXPECT_EQ(hostsim::EndMarkerScreen(ScreenForm::kLengthPrefixed), "0017,'4=-+ENDPRINT+-'4");
}

TEST(ScreenEncoder, EndMarkerDecodesToTheMarker) {
  reference::Decoder plain, prefixed(true);
  EXPECT_EQ(*plain.decode(hostsim::EndMarkerScreen(ScreenForm::kPlain)), "$-+ENDPRINT+-$");
  EXPECT_EQ(*prefixed.decode(hostsim::EndMarkerScreen(ScreenForm::kLengthPrefixed)),
            "$-+ENDPRINT+-$");
}

TEST(ScreenEncoder, EveryByteValueAloneAndInEveryPair) {
  for (int b = 1; b < 256; ++b) expect_round_trip(std::string(1, static_cast<char>(b)));
  std::string pairs;
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      pairs += static_cast<char>(a);
      pairs += static_cast<char>(b);
    }
  }
  expect_round_trip(pairs);
}

TEST(ScreenEncoder, RunsOfEveryLengthAndByte) {
  for (int b = 1; b < 256; ++b) {
    std::string job;
    for (int length = 1; length <= 140; ++length) {
      job += std::string(static_cast<std::size_t>(length), static_cast<char>(b));
      job += static_cast<char>(b == 'x' ? 'y' : 'x');
    }
    job += std::string(1000, static_cast<char>(b));  // a long run that ends the job
    expect_round_trip(job);
  }
}

TEST(ScreenEncoder, LongRunsCostAFewCharactersEach) {
  // 64 equal bytes cost the marker, the count and the byte, plus shifts.
  const auto blanks = encode(std::string(6400, '\x40'));
  ASSERT_EQ(blanks.size(), 1u);
  EXPECT_LE(blanks[0].size(), 100u * 5);
  const auto dashes = encode(std::string(6400, '-'));
  ASSERT_EQ(dashes.size(), 1u);
  EXPECT_LE(dashes[0].size(), 100u * 5);
  const auto tildes = encode(std::string(64 * 100, '~'));
  ASSERT_EQ(tildes.size(), 1u);
  EXPECT_EQ(tildes[0].size(), 1u + 100 * 3);  // "*" then "(((" per 64
  // A full screen of runs carries far more than a screen of bytes.
  const std::string long_rule(200000, '=');
  JobEncoder encoder(long_rule, ScreenForm::kPlain);
  encoder.NextScreen();
  EXPECT_GT(encoder.BytesEncoded(), 30000u);
}

TEST(ScreenEncoder, ScreenBoundariesWithSmallScreens) {
  std::mt19937 random(7);
  for (std::size_t capacity : {16u, 17u, 23u, 40u, 81u}) {
    for (int round = 0; round < 20; ++round) {
      std::string job;
      while (job.size() < 3000) {
        const int kind = static_cast<int>(random() % 5);
        const char b = static_cast<char>(1 + random() % 255);
        if (kind == 0)
          job.append(1 + random() % 130, b);  // runs
        else if (kind == 1)
          job += "\r\n";
        else if (kind == 2)
          job.append(1 + random() % 5, ' ');  // blanks, often at boundaries
        else if (kind == 3)
          job += '~';
        else
          job += b;
      }
      expect_round_trip(job, capacity);
    }
  }
}

TEST(ScreenEncoder, TrailingBlanksAtEveryScreenEnd) {
  // Blanks of both tables at the end of the job and wherever a screen happens to end.
  for (char blank : {'\x20', '\x40'}) {
    for (int lead = 1; lead < 40; ++lead) {
      std::string job = std::string(static_cast<std::size_t>(lead), 'a');
      for (int i = 0; i < 50; ++i) job += std::string(1 + i % 3, blank) + "b";
      job += std::string(3, blank);
      expect_round_trip(job, 20);
    }
  }
}

TEST(ScreenEncoder, ScreensNeverEndInsideARun) {
  std::string job;
  for (int i = 0; i < 300; ++i)
    job += std::string(static_cast<std::size_t>(60 + i % 10), '\x7E') + "z";
  expect_round_trip(job, 16);
  expect_round_trip(job, 19);
}

TEST(ScreenEncoder, NulBytesAreLeftOutAndCounted) {
  JobEncoder encoder(std::string("ab\0c\0", 5), ScreenForm::kPlain);
  EXPECT_EQ(encoder.NulBytesLeftOut(), 2u);
  reference::Decoder decoder;
  EXPECT_EQ(*decoder.decode(encoder.NextScreen()), "abc");
  EXPECT_TRUE(encoder.GetDone());
}

TEST(ScreenEncoder, EmptyJobHasNoDataScreens) {
  JobEncoder encoder("", ScreenForm::kPlain);
  EXPECT_TRUE(encoder.GetDone());
  EXPECT_EQ(encoder.NextScreen(), "");
}

TEST(ScreenEncoder, RandomJobsBothFormsFullScreens) {
  std::mt19937 random(11);
  for (int round = 0; round < 10; ++round) {
    std::string job(20000, ' ');
    for (char& c : job) c = static_cast<char>(1 + random() % 255);
    expect_round_trip(job);
  }
}
