// qor32pcs: the adapter over the 32-bit library "PCSHLL32.DLL" (entry hllapi).
#include "adapters/adapter_common.h"

namespace adapters {
namespace {

int32_t w32func;
int32_t w32len;
int32_t w32retrn;

}  // namespace
}  // namespace adapters

QOR_EXPORT_C int QOR_CALL QOR_HLLAPI(int* func, char* buf, int* len, int* retrn) {
  if (!func || !len || !retrn) return 3;
  adapters::w32func = *func;
  adapters::w32len = *len;
  adapters::w32retrn = *retrn;
  hllapi(&adapters::w32func, buf, &adapters::w32len, &adapters::w32retrn);
  *len = adapters::w32len;
  *retrn = adapters::w32retrn;
  return 3;
}

QOR_EXPORT_DECORATED const char* QOR_CALL QOR_WHICH(char*) { return adapters::kAdapterIdentity; }

QOR_EXPORT_DECORATED int QOR_CALL QOR_LOOP(QorLoopCallback) { return 0; }

// This vendor library needs no start-up or clean-up call.
QOR_EXPORT_C int QOR_CALL QOR_INIT(void) { return 0; }

QOR_EXPORT_C int QOR_CALL QOR_TERM(void) { return 0; }
