// CvScrubber.exe's entry: the common controls (tree view, tool tips), then
// the program.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/program_entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  return ProgramMain();
}
