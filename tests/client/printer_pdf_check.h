// Checks a printed PDF against the text that was sent to the printer, the
// way a reader compares a printout with the report: page by page (one page
// per form feed), the lines in order, with runs of blanks taken as one.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace printer_test {

inline std::string Squeeze(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\r' || c == '\n') continue;
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Pages of non-empty, squeezed lines; text's pages are split at form feeds
// and its lines at line feeds.
inline std::vector<std::vector<std::string>> PagesOf(const std::string& text) {
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  auto flush = [&] {
    std::string s = Squeeze(line);
    if (!s.empty()) pages.back().push_back(s);
    line.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      flush();
    } else if (c == '\f') {
      flush();
      pages.emplace_back();
    } else {
      line += c;
    }
  }
  flush();
  if (pages.back().empty()) pages.pop_back();
  return pages;
}

inline std::string RunPdfToText(const std::string& pdf) {
  std::string cmd = "pdftotext -layout '" + pdf + "' - 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (pclose(p) != 0) return "";
  return out;
}

inline void ExpectPdfHolds(const std::string& pdf, const std::string& sent) {
  std::string text = RunPdfToText(pdf);
  ASSERT_FALSE(text.empty()) << "pdftotext could not read " << pdf;
  auto got = PagesOf(text), want = PagesOf(sent);
  ASSERT_EQ(got.size(), want.size()) << "one page per form feed";
  for (size_t p = 0; p < want.size(); ++p) EXPECT_EQ(got[p], want[p]) << "page " << p + 1;
}

}  // namespace printer_test
