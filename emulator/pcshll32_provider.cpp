// pcshll32.so: the 32-bit hllapi entry, with the 20-byte session status reply.
#include "emulator/hllapi_exports.h"
#include "emulator/provider_support.h"

#define QOR_EXPORT extern "C" QOR_PUBLISHED

namespace {

emulator::HllapiCore& Core() { return emulator::ProviderCore(emulator::StatusLayout::kWide); }

}  // namespace

QOR_EXPORT void QOR_CALL hllapi(int32_t* function, char* data, int32_t* length,
                                int32_t* return_code) {
  if (!function) return;
  int len = length ? *length : 0;
  int code = return_code ? *return_code : 0;
  Core().Call(*function, reinterpret_cast<unsigned char*>(data), &len, &code);
  if (length) *length = len;
  if (return_code) *return_code = code;
}

QOR_EXPORT const char* qor_provider_last_error(void) { return Core().LastError().c_str(); }

QOR_EXPORT int qor_provider_last_error_permanent(void) {
  return Core().LastErrorPermanent() ? 1 : 0;
}
