// What the three provider libraries share: their one HllapiCore, fed from the
// sessions file, and where error texts go.
#pragma once

#include <string>
#include <string_view>

#include "emulator/hllapi_core.h"

namespace emulator {

// The library's core, created on first use with the given reply layout.
HllapiCore& ProviderCore(StatusLayout layout);
// s3270 children, script ports and in-process hosts, by session line.
std::unique_ptr<Backend> MakeBackend(const SessionLine& line, std::string* problem);
// Appends the text as one line, stamped with the local time, to
// $QOR_EMULATOR_LOG, or writes it to standard error (also when the log
// cannot be written).
void ReportProviderError(const std::string& text);
// The text with every byte that is not printable (control bytes, stray
// non-UTF-8 bytes) shown as \xNN, so an emulator's garbage cannot reach a log raw.
std::string PrintableText(std::string_view text);

}  // namespace emulator
