// <windows.h> for the Win32 implementations of platform/. The API's A/W name
// macros would rename platform's own functions of the same names
// (platform::LoadLibrary, platform::RegOpenKey ...), so they go; the Win32 calls
// are spelt with their A suffix.
#pragma once

#include <windows.h>

#undef LoadLibrary
#undef MoveFile
#undef RegCreateKey
#undef RegOpenKey
#undef RegQueryValue
#undef RegSetValue
#undef RegEnumValue
#undef RegEnumKey
#undef RegDeleteKey
#undef RegDeleteTree
