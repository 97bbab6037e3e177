// Entry points of the HLLAPI provider libraries, as the adapters call them
// (WINAPI on 32-bit Windows, undecorated, as vendors publish them):
// whllapi.so and whlapi32.so (16-bit words) and pcshll32.so (32-bit words).
#pragma once

#include <cstdint>

#include "platform/calling_convention.h"

// What a library publishes: its entry points and nothing else.
#ifdef _WIN32
#define QOR_PUBLISHED __declspec(dllexport)
#else
#define QOR_PUBLISHED __attribute__((visibility("default")))
#endif

extern "C" {

// Filled by WinHLLAPIStartup: the version granted and a description text.
struct WHLLAPIDATA {
  uint16_t wVersion;
  char szDescription[129];
};

// 0 when the program is registered.
int QOR_CALL WinHLLAPIStartup(uint16_t version_required, WHLLAPIDATA* data);
// Function number, data string, length and return code (or position), the
// last two in and out.
void QOR_CALL WinHLLAPI(uint16_t* function, unsigned char* data, uint16_t* length,
                        uint16_t* return_code);
// Ends the program's use of the library: every session is disconnected.
int QOR_CALL WinHLLAPICleanup(void);

void QOR_CALL hllapi(int32_t* function, char* data, int32_t* length, int32_t* return_code);

// Why the last call failed ("" when it did not): sessions file problems,
// emulators that could not start, hosts refused, silent or gone. Optional for
// the client, which finds them through the adapter when a provider has them.
const char* qor_provider_last_error(void);
// 1 when that failure is the configuration's and retrying cannot help.
int qor_provider_last_error_permanent(void);
}
