// Plug-and-Play devices (SetupAPI, loaded at run time):
// the types, values and calls program code uses. Part of the one door to
// Windows: included by platform/win32.h only, never on its own.
//
// "SetupApi.dll" is missing on Windows 95 and NT 4, so program code never
// calls these functions by name: it loads the library and looks each one up
// with GetProcAddress, through the pointer types at the end.
#pragma once

#ifdef _WIN32

#include <setupapi.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_setupapi_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

// Basic types <windows.h> has and win32.h does not (a repeated typedef of
// the same type is allowed, so another subsystem may declare them too).
typedef BYTE* PBYTE;
typedef const char* PCSTR;

#ifndef GUID_DEFINED
#define GUID_DEFINED
typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
#endif

typedef PVOID HDEVINFO;
typedef UINT DI_FUNCTION;

typedef struct _SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  ULONG_PTR Reserved;
} SP_DEVINFO_DATA, *PSP_DEVINFO_DATA;

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes)
#include "platform/win32_setupapi_values.inc"
#undef W32_VALUE
#undef W32_SIZE

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent,
                                     DWORD Flags);
BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData);
BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize);
BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                      PSP_DEVINFO_DATA DeviceInfoData);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);

#endif  // _WIN32

// The five functions as GetProcAddress hands them out.
typedef HDEVINFO(WINAPI* SetupDiGetClassDevsFn)(const GUID*, PCSTR, HWND, DWORD);
typedef BOOL(WINAPI* SetupDiEnumDeviceInfoFn)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);
typedef BOOL(WINAPI* SetupDiGetDeviceRegistryPropertyFn)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD,
                                                         PBYTE, DWORD, PDWORD);
typedef BOOL(WINAPI* SetupDiCallClassInstallerFn)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA);
typedef BOOL(WINAPI* SetupDiDestroyDeviceInfoListFn)(HDEVINFO);
