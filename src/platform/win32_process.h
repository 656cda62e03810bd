// Processes and waiting:
// the types, values and calls program code uses. Part of the one door to
// Windows: included by platform/win32.h only, never on its own.
#pragma once

#ifdef _WIN32

#include <windows.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_process_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes)
#include "platform/win32_process_values.inc"
#undef W32_VALUE
#undef W32_SIZE

BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes,
                           LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                           DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                           LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
DWORD WINAPI GetTickCount();

#endif  // _WIN32
