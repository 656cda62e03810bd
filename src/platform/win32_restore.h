// System Restore (srclient.dll, loaded at run time): the types, values and
// the one call program code uses. Part of the one door to Windows: included
// by platform/win32.h only, never on its own.
//
// srclient.dll ships with Windows ME and XP only, so program code never calls
// SRSetRestorePointA by name: it loads the library and looks the function up
// with GetProcAddress, through the pointer type at the end.
#pragma once

#ifdef _WIN32

#include <srrestoreptapi.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_restore_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

typedef LONGLONG INT64;

#pragma pack(push, 1)
typedef struct _RESTOREPTINFOA {
  DWORD dwEventType;
  DWORD dwRestorePtType;
  INT64 llSequenceNumber;
  CHAR szDescription[64];
} RESTOREPOINTINFOA, *PRESTOREPOINTINFOA;

typedef struct _SMGRSTATUS {
  DWORD nStatus;
  INT64 llSequenceNumber;
} STATEMGRSTATUS, *PSTATEMGRSTATUS;
#pragma pack(pop)

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_restore_values.inc"
#undef W32_VALUE
#undef W32_SIZE

BOOL WINAPI SRSetRestorePointA(PRESTOREPOINTINFOA pRestorePtSpec, PSTATEMGRSTATUS pSMgrStatus);

#endif  // _WIN32

// SRSetRestorePointA as GetProcAddress hands it out.
typedef BOOL(WINAPI* SRSetRestorePointFn)(PRESTOREPOINTINFOA, PSTATEMGRSTATUS);
