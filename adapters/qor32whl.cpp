// qor32whl: the adapter over the WinHLLAPI library "WHLAPI32.DLL".
#include "adapters/winhllapi_adapter.h"

QOR_EXPORT_C int QOR_HLLAPI(int* func, char* buf, int* len, int* retrn) {
  return ForwardToWinHllapi(func, buf, len, retrn);
}

QOR_EXPORT_DECORATED const char* QOR_WHICH(char*) { return kAdapterIdentity; }

QOR_EXPORT_DECORATED int QOR_LOOP(int (*)(int)) { return 0; }

QOR_EXPORT_C int QOR_INIT(void) { return StartWinHllapi(0, 0x0110); }

QOR_EXPORT_C int QOR_TERM(void) {
  WinHLLAPICleanup();
  return 0;
}
