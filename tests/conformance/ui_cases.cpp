// User-interface calls that answer without a person: finding windows and the
// refusals of the window calls for a window that does not exist. MessageBoxA,
// WinHelpA and ExitProcess need a person or end the process: the scenarios
// cover them (tests/conformance/README.md).
#include "conformance/conformance.h"

namespace {

const UINT kInvalidWindowHandle = 1400;  // ERROR_INVALID_WINDOW_HANDLE

}  // namespace

CONFORMANCE_CASE(ui, FindWindowA_NoSuchWindowGivesNull) {
  CHECK_TRUE(FindWindowA("#32770", "CvsConformance: no such window") == nullptr);
  CHECK_TRUE(FindWindowA(nullptr, "CvsConformance: no such window") == nullptr);
}

CONFORMANCE_CASE(ui, GetWindowPlacement_NullWindowGives1400) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetWindowPlacement(nullptr, &placement), FALSE);
  CHECK_ERROR(kInvalidWindowHandle);
}

CONFORMANCE_CASE(ui, ShowWindow_NullWindowGives1400) {
  SetLastError(0xdeadbeef);
  CHECK_EQ(ShowWindow(nullptr, SW_RESTORE), FALSE);
  CHECK_ERROR(kInvalidWindowHandle);
}

CONFORMANCE_CASE(ui, SetWindowPos_NullWindowGives1400) {
  SetLastError(0xdeadbeef);
  CHECK_EQ(SetWindowPos(nullptr, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE), FALSE);
  CHECK_ERROR(kInvalidWindowHandle);
}

CONFORMANCE_CASE(ui, SetForegroundWindow_NullWindowFails) {
  if (!conformance::NtFamily())
    WINE_DIFFERS(
        "Windows 9x leaves the last error alone, Wine sets 1400; "
        "dlls/user32/tests/win.c test_SetForegroundWindow");
  SetLastError(0xdeadbeef);
  CHECK_EQ(SetForegroundWindow(nullptr), FALSE);
  CHECK_ERROR(conformance::NtFamily() ? kInvalidWindowHandle : 0xdeadbeef);
}
