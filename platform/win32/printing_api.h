// The spooler and GDI printing calls for platform's Windows printing, through
// windows_api.h. The A/W macros DrawText and DeviceCapabilities would rename
// the print device's operation and the capabilities record, so they go; the
// Win32 calls are spelt with their A suffix.
#pragma once

#include "platform/win32/windows_api.h"

#include <winspool.h>

#undef DrawText
#undef DeviceCapabilities
