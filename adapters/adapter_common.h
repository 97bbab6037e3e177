// What every adapter library shares: the export macro, the identity string
// and the entry-point shapes the client binds.
//
// QOR_HLLAPI, QOR_INIT and QOR_TERM are published under their plain names;
// QOR_WHICH and QOR_LOOP under decorated ones, so a program looking them up
// by plain name does not bind them. On 32-bit Windows all five are WINAPI and
// adapter_exports_win32.def names them ("_QOR_WHICH@4"); elsewhere the two
// keep C++ linkage, whose names are decorated too.
#pragma once

#include <cstdint>

#include "emulator/hllapi_exports.h"

#if defined(_WIN32) && !defined(_WIN64)
#define QOR_EXPORT_C extern "C"
#define QOR_EXPORT_DECORATED extern "C"
#else
#define QOR_EXPORT_C extern "C" QOR_PUBLISHED
#define QOR_EXPORT_DECORATED QOR_PUBLISHED
#endif

// The client's message-loop callback, handed to QOR_LOOP.
using QorLoopCallback = int(QOR_CALL*)(int);

namespace adapters {

inline constexpr char kAdapterIdentity[] = "RIDEVOR.DLL vsn: 1.1.1.0";

}  // namespace adapters

QOR_EXPORT_C int QOR_CALL QOR_HLLAPI(int* func, char* buf, int* len, int* retrn);
QOR_EXPORT_C int QOR_CALL QOR_INIT(void);
QOR_EXPORT_C int QOR_CALL QOR_TERM(void);
QOR_EXPORT_DECORATED const char* QOR_CALL QOR_WHICH(char* reprtback);
QOR_EXPORT_DECORATED int QOR_CALL QOR_LOOP(QorLoopCallback msg_loop_proc);
