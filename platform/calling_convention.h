/* The calling convention of HLLAPI entry points and of the adapter entry
 * points the client calls. Emulator vendors' libraries for 32-bit Windows
 * export theirs as WINAPI (__stdcall); a caller that assumed cdecl would
 * leave the stack off by the arguments' size after every call. Other
 * systems have one convention only. C as well as C++. */
#ifndef QOR_PLATFORM_CALLING_CONVENTION_H
#define QOR_PLATFORM_CALLING_CONVENTION_H

#if defined(_WIN32) && !defined(_WIN64)
#define QOR_CALL __stdcall
#else
#define QOR_CALL
#endif

#endif
