// whllapi.so and whlapi32.so: the WinHLLAPI interface with 16-bit words.
#include <cstdio>
#include <cstring>

#include "emulator/hllapi_exports.h"
#include "emulator/provider_support.h"

#define QOR_EXPORT extern "C" QOR_PUBLISHED

namespace {

constexpr uint16_t kHighestVersion = 0x0110;

emulator::HllapiCore& Core() { return emulator::ProviderCore(emulator::StatusLayout::kNarrow); }

}  // namespace

QOR_EXPORT int QOR_CALL WinHLLAPIStartup(uint16_t version_required, WHLLAPIDATA* data) {
  if (data) {
    data->wVersion = version_required != 0 && version_required < kHighestVersion ? version_required
                                                                                 : kHighestVersion;
    std::snprintf(data->szDescription, sizeof data->szDescription,
                  "QORPRINT HLLAPI provider (%s): s3270 and in-process host sessions",
                  QOR_PROVIDER_NAME);
  }
  return 0;
}

QOR_EXPORT void QOR_CALL WinHLLAPI(uint16_t* function, unsigned char* data, uint16_t* length,
                                   uint16_t* return_code) {
  if (!function) return;
  int len = length ? *length : 0;
  int code = return_code ? *return_code : 0;
  Core().Call(*function, data, &len, &code);
  if (length) *length = static_cast<uint16_t>(len);
  if (return_code) *return_code = static_cast<uint16_t>(code);
}

QOR_EXPORT int QOR_CALL WinHLLAPICleanup(void) {
  Core().Reset();
  return 1;
}

QOR_EXPORT const char* qor_provider_last_error(void) { return Core().LastError().c_str(); }

QOR_EXPORT int qor_provider_last_error_permanent(void) {
  return Core().LastErrorPermanent() ? 1 : 0;
}
