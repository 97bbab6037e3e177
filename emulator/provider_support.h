// What the three provider libraries share: their one HllapiCore, fed from the
// sessions file, and where error texts go.
#pragma once

#include "emulator/hllapi_core.h"

namespace emulator {

// The library's core, created on first use with the given reply layout.
HllapiCore& ProviderCore(StatusLayout layout);
// s3270 children, script ports and in-process hosts, by session line.
std::unique_ptr<Backend> MakeBackend(const SessionLine& line, std::string* problem);
// Appends the text to $QOR_EMULATOR_LOG, or writes it to standard error.
void ReportProviderError(const std::string& text);

}  // namespace emulator
