// qor32e62: the adapter over the WinHLLAPI library "WHLAPI32.DLL".
#include "adapters/winhllapi_adapter.h"

QOR_EXPORT_C int QOR_CALL QOR_HLLAPI(int* func, char* buf, int* len, int* retrn) {
  return adapters::ForwardToWinHllapi(func, buf, len, retrn);
}

QOR_EXPORT_DECORATED const char* QOR_CALL QOR_WHICH(char*) { return adapters::kAdapterIdentity; }

QOR_EXPORT_DECORATED int QOR_CALL QOR_LOOP(QorLoopCallback) { return 0; }

QOR_EXPORT_C int QOR_CALL QOR_INIT(void) { return adapters::StartWinHllapi(1, 0x0001); }

QOR_EXPORT_C int QOR_CALL QOR_TERM(void) {
  WinHLLAPICleanup();
  return 0;
}
