#include "ui/win32/tool_tips.h"

#include <commctrl.h>

namespace win32ui {

void AddToolTip(HWND dialog, int id, const std::string& text) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (tip == nullptr) return;
  TOOLINFOA info = {};
  // The first layout of the structure: the tool-tip control of Windows 95
  // refuses a larger one.
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<char*>(text.c_str());  // copied by the control
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace win32ui
