#include "emulator/session_parameters.h"

#include <string>

#include "common/text_helpers.h"

namespace emulator {
namespace {

// Accepted for compatibility with programs that set them; they change nothing
// in this provider (lengths are always explicit, attributes always blanks).
constexpr std::string_view kAccepted[] = {
    "STRLEN",      "STREOT",     "SRCHALL",     "SRCHFROM",    "SRCHFRWD",   "SRCHBKWD",
    "NOATTRB",     "ATTRB",      "NOEAB",       "EAB",         "XLATE",      "NOXLATE",
    "CONLOG",      "CONPHYS",    "WRITE_SUPER", "WRITE_WRITE", "WRITE_READ", "WRITE_NONE",
    "SUPER_WRITE", "WRITE_ONLY", "NOQUIET",     "QUIET",       "NOCFGSIZE",  "CFGSIZE",
    "BLANK",       "NULLATTRB",  "DISPLAY",     "NODISPLAY",   "NEWRET",     "OLDRET",
    "UNIKEY",
};

}  // namespace

bool SessionParameters::Apply(std::string_view text) {
  bool all_known = true;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ',' || text[i] == ' ')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ',' && text[i] != ' ') ++i;
    if (start == i) break;
    std::string_view raw = text.substr(start, i - start);
    std::string word = common::Upper(raw);
    if (word == "NWAIT") {
      wait = WaitMode::kNoWait;
    } else if (word == "TWAIT") {
      wait = WaitMode::kTimedWait;
    } else if (word == "LWAIT") {
      wait = WaitMode::kLongWait;
    } else if (word == "FPAUSE") {
      interruptible_pause = false;
    } else if (word == "IPAUSE") {
      interruptible_pause = true;
    } else if (word == "AUTORESET") {
      auto_reset = true;
    } else if (word == "NORESET") {
      auto_reset = false;
    } else if (word.size() == 5 && word.rfind("ESC=", 0) == 0) {
      escape = raw[4];  // the character as given, not upper-cased
    } else if ((word.size() == 5 && word.rfind("EOT=", 0) == 0) || word.rfind("TIMEOUT=", 0) == 0 ||
               word.rfind("KEY$", 0) == 0) {
      // accepted, no effect
    } else {
      bool accepted = false;
      for (std::string_view a : kAccepted) accepted = accepted || word == a;
      all_known = all_known && accepted;
    }
  }
  return all_known;
}

}  // namespace emulator
