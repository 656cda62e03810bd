// Tool tips on dialog controls, one tool-tip control per tip.
#pragma once

#include <windows.h>

#include <string>

namespace win32ui {

// Shows text while the mouse rests on control id of dialog; nothing when the
// dialog has no such control.
void AddToolTip(HWND dialog, int id, const std::string& text);

}  // namespace win32ui
