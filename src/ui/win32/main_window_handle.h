// The main window of the Windows front end, owner of the About box.
#pragma once

#include <windows.h>

namespace win32ui {

// The main window while it exists, else nullptr.
HWND MainWindowHandle();

}  // namespace win32ui
