#include "hostsim/screen_geometry.h"

namespace hostsim {

ScreenGeometry ModelGeometry(int model) {
  switch (model) {
    case 3: return {32, 80};
    case 4: return {43, 80};
    case 5: return {27, 132};
    default: return kDefaultGeometry;
  }
}

int TerminalModel(std::string_view type) {
  // IBM-327x-N, optionally followed by "-E" (and, in plain TN3270, "@LU").
  constexpr std::string_view kPrefix = "IBM-327";
  if (type.size() < kPrefix.size() + 3 || type.substr(0, kPrefix.size()) != kPrefix) return 0;
  const char kind = type[kPrefix.size()];
  const char model = type[kPrefix.size() + 2];
  if ((kind != '8' && kind != '9') || type[kPrefix.size() + 1] != '-' || model < '2' || model > '5')
    return 0;
  if (type.size() > kPrefix.size() + 3 && type[kPrefix.size() + 3] != '-' &&
      type[kPrefix.size() + 3] != '@')
    return 0;
  return model - '0';
}

}  // namespace hostsim
