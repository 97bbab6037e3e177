#include "hostsim/conversation_texts.h"

#include <cstdio>

#include "hostsim/screen_geometry.h"

namespace hostsim {
namespace {

void put(std::string& screen, int position, std::string_view text) {
  screen.replace(static_cast<std::size_t>(position), text.size(), text);
}

std::string right_aligned(long value, int width) {
  const long largest = width >= 7 ? 9999999L : 99999L;
  if (value < 0) value = 0;
  if (value > largest) value = largest;
  char text[16];
  std::snprintf(text, sizeof text, "%*ld", width, value);
  return text;
}

std::string trimmed(std::string text) {
  const auto end = text.find_last_not_of(' ');
  text.resize(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace

std::string job_header_text(const JobHeader& header, char level) {
  std::string screen(kScreenTextCapacity, ' ');
  put(screen, 0, kJobMarker);
  put(screen, 17, "LEVEL");
  put(screen, kLevelPosition, std::string(1, level));
  put(screen, 80, "HOST PRINT JOB WAITING - TYPE THE START COMMAND AT THE TOP AND PRESS PF6");
  put(screen, 240, "PFX JOB IDENT");
  put(screen, kPrefixPosition, header.prefix.substr(0, 3));
  put(screen, kIdentPosition, header.ident.substr(0, 14));
  put(screen, kCodePosition, header.code.substr(0, 3));
  put(screen, kField4Position, header.field4.substr(0, 3));
  put(screen, 420, "CODE, NUMBER");
  put(screen, kField5Position, header.field5.substr(0, 16));
  put(screen, 502, "DATE");
  put(screen, 566, "LINES");
  put(screen, 576, "PAGES");
  put(screen, kLinesPosition, right_aligned(header.lines, 7));
  put(screen, kPagesPosition, right_aligned(header.pages, 5));
  return trimmed(std::move(screen));
}

std::string idle_screen_text() {
  std::string screen(kScreenTextCapacity, ' ');
  put(screen, 0, "HOST PRINT QUEUE");
  put(screen, 80, "NO PRINT JOB IS WAITING. A NEW JOB APPEARS HERE BY ITSELF.");
  return trimmed(std::move(screen));
}

}  // namespace hostsim
