// An independent reader of compiled message files for the tests: it walks the
// whole image in memory and lists every way it breaks the format.
#pragma once

#include <string>
#include <vector>

struct ImageEntry {
  std::string key;
  std::string title;
  long offset = 0;
  std::vector<std::string> lines;  // up to, not including, "##"
};

struct ImageReport {
  long first_number = 0;
  long index_offset = 0;
  std::vector<ImageEntry> entries;
  std::vector<std::string> problems;  // empty for a sound file
};

ImageReport ReadImage(const std::string& bytes);

std::string ReadFileBytes(const std::string& path);
