#include "app/program_entry.h"

#include "app/main_window.h"
#include "resources/string_table.h"

namespace {

// Brings an already running instance to the front; false when there is none.
bool ActivateRunningInstance() {
  HWND other = FindWindowA(LoadStr(IDS_MAIN_WINDOW_CLASS), LoadStr(IDS_MAIN_TITLE));
  if (other == nullptr) return false;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(other, &placement);
  const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS;
  if (placement.showCmd == static_cast<UINT>(SW_SHOWMINIMIZED)) {
    ShowWindow(other, SW_RESTORE);
  } else {
    SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, flags);
  }
  SetWindowPos(other, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
  SetForegroundWindow(other);
  return true;
}

}  // namespace

int ProgramMain() {
  if (ActivateRunningInstance()) return 0;
  CCvScrubberDlg dlg;
  dlg.DoModal();
  return 0;
}
