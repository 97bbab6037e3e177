#include "common/text_helpers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace common {

std::string_view Trim(std::string_view text, std::string_view blanks) {
  std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> SplitWords(std::string_view text) {
  constexpr std::string_view kWhite = " \t\r\n\v\f";
  std::vector<std::string> words;
  std::size_t start = text.find_first_not_of(kWhite);
  while (start != std::string_view::npos) {
    std::size_t end = std::min(text.find_first_of(kWhite, start), text.size());
    words.emplace_back(text.substr(start, end - start));
    start = text.find_first_not_of(kWhite, end);
  }
  return words;
}

bool ParseNumber(std::string_view digits, long low, long high, long* value) {
  if (digits.empty() || digits.size() > 9) return false;
  for (char c : digits)
    if (c < '0' || c > '9') return false;
  long v = std::strtol(std::string(digits).c_str(), nullptr, 10);
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

}  // namespace common
