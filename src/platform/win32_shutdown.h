// Restarting Windows: the values and calls program code uses. Part of the one
// door to Windows: included by platform/win32.h only, never on its own.
#pragma once

#ifdef _WIN32

#include <windows.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_shutdown_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes)
#include "platform/win32_shutdown_values.inc"
#undef W32_VALUE
#undef W32_SIZE

// The pseudo handle of the own process ((HANDLE)-1), valid only in this process.
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason);
BOOL WINAPI InitiateSystemShutdownA(LPSTR lpMachineName, LPSTR lpMessage, DWORD dwTimeout,
                                    BOOL bForceAppsClosed, BOOL bRebootAfterShutdown);

#endif  // _WIN32
