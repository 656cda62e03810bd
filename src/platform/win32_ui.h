// Clipboard, movable global memory and the rich-text control's messages:
// the types, values and calls program code uses. Part of the one door to
// Windows: included by platform/win32.h only, never on its own.
#pragma once

#ifdef _WIN32

#include <richedit.h>
#include <windows.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_ui_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

// Basic types these calls use that win32.h does not declare.
typedef ULONG_PTR DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef HANDLE HGLOBAL;

// The rich-text control asks the program for the next cb bytes of a stream;
// the callback stores how many it gave in *pcb (0: the end) and returns 0, or
// an error that ends the stream.
typedef DWORD(CALLBACK* EDITSTREAMCALLBACK)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);

typedef struct _editstream {
  DWORD_PTR dwCookie;
  DWORD dwError;
  EDITSTREAMCALLBACK pfnCallback;
} EDITSTREAM;

typedef struct _charrange {
  LONG cpMin;
  LONG cpMax;
} CHARRANGE;

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes)
#include "platform/win32_ui_values.inc"
#undef W32_VALUE
#undef W32_SIZE

static_assert(sizeof(CHARRANGE) == 8, "CHARRANGE");

// Clipboard
BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI EmptyClipboard();
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
HANDLE WINAPI GetClipboardData(UINT uFormat);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);
BOOL WINAPI CloseClipboard();

// Global memory
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);

#endif  // _WIN32
