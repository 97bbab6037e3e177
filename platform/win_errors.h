// The Win32 result codes that callers of the registry and file layers expect.
#pragma once

namespace platform {

constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidData = 13;
constexpr long kErrorWriteFault = 29;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorBadDatabase = 1009;  // the registry file is garbled
constexpr long kErrorLockTimeout = 1460;  // ERROR_TIMEOUT

}  // namespace platform
