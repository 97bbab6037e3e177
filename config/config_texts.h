// The texts the configuration dialog composes: the report shown when a
// provider library is missing, the confirmation question, and the rows the
// information dialogs show.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/emulator_list.h"

namespace config {

// entry is null for a name typed into the field. explanation is the text of
// the entry's PREFIXFAIL key, or of "FAILW95".
std::string FailureReport(const EmulatorRecord* entry, const std::string& vendor,
                          const std::string& explanation);

// The question before writing, at most kConfirmationLimit characters. eappc
// is the "EAPPC" text, blurb the text of the entry's PREFIXBLURB key.
constexpr size_t kConfirmationLimit = 8191;
std::string ConfirmationText(const EmulatorRecord* entry, const std::string& vendor,
                             const std::string& eappc, const std::string& blurb);

// Rows of an information dialog: a row ends at a line feed or after width
// characters (a longer line goes on in the next row). Carriage returns are
// dropped and other control characters shown as blanks.
std::vector<std::string> DialogRows(const std::string& text, size_t width = 80);

}  // namespace config
