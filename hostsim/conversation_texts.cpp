#include "hostsim/conversation_texts.h"

#include <cstdio>

#include "hostsim/screen_geometry.h"

namespace hostsim {
namespace {

void Put(std::string& screen, int position, std::string_view text) {
  screen.replace(static_cast<std::size_t>(position), text.size(), text);
}

std::string RightAligned(long value, int width) {
  const long largest = width >= 7 ? 9999999L : 99999L;
  if (value < 0) value = 0;
  if (value > largest) value = largest;
  char text[16];
  std::snprintf(text, sizeof text, "%*ld", width, value);
  return text;
}

std::string Trimmed(std::string text) {
  const auto end = text.find_last_not_of(' ');
  text.resize(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace

std::string JobHeaderText(const JobHeader& header, char level) {
  std::string screen(kScreenTextCapacity, ' ');
  Put(screen, 0, kJobMarker);
  Put(screen, 17, "LEVEL");
  Put(screen, kLevelPosition, std::string(1, level));
  Put(screen, 80, "HOST PRINT JOB WAITING - TYPE THE START COMMAND AT THE TOP AND PRESS PF6");
  Put(screen, 240, "PFX JOB IDENT");
  Put(screen, kPrefixPosition, header.prefix.substr(0, 3));
  Put(screen, kIdentPosition, header.ident.substr(0, 14));
  Put(screen, kCodePosition, header.code.substr(0, 3));
  Put(screen, kField4Position, header.field4.substr(0, 3));
  Put(screen, 420, "CODE, NUMBER");
  Put(screen, kField5Position, header.field5.substr(0, 16));
  Put(screen, 502, "DATE");
  Put(screen, 566, "LINES");
  Put(screen, 576, "PAGES");
  Put(screen, kLinesPosition, RightAligned(header.lines, 7));
  Put(screen, kPagesPosition, RightAligned(header.pages, 5));
  return Trimmed(std::move(screen));
}

std::string IdleScreenText() {
  std::string screen(kScreenTextCapacity, ' ');
  Put(screen, 0, "HOST PRINT QUEUE");
  Put(screen, 80, "NO PRINT JOB IS WAITING. A NEW JOB APPEARS HERE BY ITSELF.");
  return Trimmed(std::move(screen));
}

}  // namespace hostsim
