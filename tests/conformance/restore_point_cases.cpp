// System Restore: SRSetRestorePointA of srclient.dll, reached as the program
// reaches it (LoadLibraryA + GetProcAddress). No case leaves a restore point
// behind on a real PC: every point begun here is cancelled at once, which
// makes System Restore drop it. The cases expect System Restore switched on,
// as a fresh Windows ME or XP has it.
#include <cstring>

#include "conformance/conformance.h"

using namespace conformance;

namespace {

constexpr char kWineStub[] =
    "Wine's SRSetRestorePointA (srclient forwards it to sfc_os) is a stub: FALSE with nStatus "
    "ERROR_SUCCESS and no point made (dlls/sfc_os/sfc_os.c)";

// Windows ME (4.90 on the 9x family) and XP (5.1) ship srclient.dll.
bool HasSystemRestore() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return false;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
    return info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
  return info.dwMajorVersion == 4 && info.dwMinorVersion == 90;
}

// srclient.dll and its SRSetRestorePointA, loaded for one case.
struct SrClient {
  HMODULE lib = nullptr;
  SRSetRestorePointFn set = nullptr;
  SrClient() {
    lib = LoadLibraryA("srclient.dll");
    if (!lib) return;
    FARPROC proc = GetProcAddress(lib, "SRSetRestorePointA");
    set = reinterpret_cast<SRSetRestorePointFn>(reinterpret_cast<void (*)()>(proc));
  }
  ~SrClient() {
    if (lib) FreeLibrary(lib);
  }
  SrClient(const SrClient&) = delete;
  SrClient& operator=(const SrClient&) = delete;

  BOOL Call(DWORD event, DWORD type, INT64 sequence, const char* text, STATEMGRSTATUS* status) {
    RESTOREPOINTINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwEventType = event;
    info.dwRestorePtType = type;
    info.llSequenceNumber = sequence;
    std::strncpy(info.szDescription, text, sizeof info.szDescription - 1);
    std::memset(status, 0xAB, sizeof *status);
    return set(&info, status);
  }
};

// A case on ME or XP needs the call; its absence there is a failure of the set-up.
bool Loaded(const SrClient& sr, int line) {
  if (sr.set) return true;
  RecordFailure(__FILE__, line, "set-up: srclient.dll or SRSetRestorePointA missing");
  return false;
}

}  // namespace

CONFORMANCE_CASE(restore, LoadLibraryA_SrClientOnlyOnMeAndXp) {
  if (!HasSystemRestore())
    WINE_DIFFERS("Wine ships srclient.dll in every Windows mode; only ME and XP have it");
  SetLastError(0xdeadbeef);
  HMODULE lib = LoadLibraryA("srclient.dll");
  if (HasSystemRestore()) {
    CHECK_TRUE(lib != nullptr);
    if (lib) CHECK_TRUE(GetProcAddress(lib, "SRSetRestorePointA") != nullptr);
  } else {
    CHECK_TRUE(lib == nullptr);
    CHECK_ERROR(NtFamily() ? 126 : 1157);
  }
  if (lib) FreeLibrary(lib);
}

CONFORMANCE_CASE(restore, SRSetRestorePointA_BeginThenCancelGivesOneNumber) {
  if (!HasSystemRestore()) return;
  SrClient sr;
  if (!Loaded(sr, __LINE__)) return;
  WINE_DIFFERS(kWineStub);
  STATEMGRSTATUS begun;
  CHECK_EQ(sr.Call(BEGIN_SYSTEM_CHANGE, APPLICATION_UNINSTALL, 0, "CvsConformance", &begun), TRUE);
  CHECK_EQ(begun.nStatus, static_cast<DWORD>(ERROR_SUCCESS));
  CHECK_TRUE(begun.llSequenceNumber > 0);
  if (begun.nStatus != ERROR_SUCCESS) return;  // nothing to cancel
  STATEMGRSTATUS cancelled;
  CHECK_EQ(sr.Call(END_SYSTEM_CHANGE, CANCELLED_OPERATION, begun.llSequenceNumber, "", &cancelled),
           TRUE);
  CHECK_EQ(cancelled.nStatus, static_cast<DWORD>(ERROR_SUCCESS));
  CHECK_EQ(cancelled.llSequenceNumber, begun.llSequenceNumber);
}

CONFORMANCE_CASE(restore, SRSetRestorePointA_NumbersGrowFromPointToPoint) {
  if (!HasSystemRestore()) return;
  SrClient sr;
  if (!Loaded(sr, __LINE__)) return;
  WINE_DIFFERS(kWineStub);
  INT64 numbers[2] = {0, 0};
  for (INT64& number : numbers) {
    STATEMGRSTATUS status;
    CHECK_EQ(sr.Call(BEGIN_SYSTEM_CHANGE, APPLICATION_INSTALL, 0, "CvsConformance", &status), TRUE);
    if (status.nStatus != ERROR_SUCCESS) return;
    number = status.llSequenceNumber;
    sr.Call(END_SYSTEM_CHANGE, CANCELLED_OPERATION, number, "", &status);
  }
  // A cancelled point's number is not handed out again.
  CHECK_TRUE(numbers[1] > numbers[0]);
}

CONFORMANCE_CASE(restore, SRSetRestorePointA_EndOfUnknownNumberGivesInvalidData) {
  if (!HasSystemRestore()) return;
  SrClient sr;
  if (!Loaded(sr, __LINE__)) return;
  // Windows' answer for a number it never gave: documented as
  // ERROR_INVALID_DATA ("The sequence number is invalid", STATEMGRSTATUS).
  WINE_DIFFERS(kWineStub);
  STATEMGRSTATUS status;
  CHECK_EQ(sr.Call(END_SYSTEM_CHANGE, CANCELLED_OPERATION, 0x7FFFFFF0, "", &status), FALSE);
  CHECK_EQ(status.nStatus, static_cast<DWORD>(ERROR_INVALID_DATA));
}
