// What every adapter library shares: the export macro, the identity string
// and the entry-point shapes the client binds.
//
// QOR_HLLAPI, QOR_INIT and QOR_TERM are published under their plain names.
// QOR_WHICH and QOR_LOOP keep C++ linkage, so their published names are
// decorated and a program looking them up by plain name does not bind them.
#pragma once

#include <cstdint>

#include "emulator/hllapi_exports.h"

#define QOR_EXPORT_C extern "C" QOR_PUBLISHED
#define QOR_EXPORT_DECORATED QOR_PUBLISHED

namespace {

const char kAdapterIdentity[] = "RIDEVOR.DLL vsn: 1.1.1.0";

}  // namespace

QOR_EXPORT_C int QOR_HLLAPI(int* func, char* buf, int* len, int* retrn);
QOR_EXPORT_C int QOR_INIT(void);
QOR_EXPORT_C int QOR_TERM(void);
QOR_EXPORT_DECORATED const char* QOR_WHICH(char* reprtback);
QOR_EXPORT_DECORATED int QOR_LOOP(int (*msg_loop_proc)(int));
