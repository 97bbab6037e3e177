// Pieces of the machine-readable outputs: JSON strings that any bytes can go
// into, and UTC time stamps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// "json" when a client logs JSON Lines on standard error: what else writes
// there (the emulator providers) follows suit.
constexpr const char kLogFormatVariable[] = "QOR_LOG_FORMAT";

// text as a quoted JSON string: quotes, backslashes and control characters
// escaped, valid UTF-8 kept as it is, and each byte that is not part of valid
// UTF-8 (a host's codepage text, a cut sequence) replaced by \ufffd.
std::string JsonString(std::string_view text);

// Seconds since 1970-01-01 UTC, from the system clock.
int64_t UnixNow();
// "2026-12-09T07:16:08Z"
std::string UtcTimestamp(int64_t unix_seconds);

}  // namespace common
