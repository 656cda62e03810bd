// The user-interface calls of win32.h on the simulated PC: message boxes and
// help go to the simulated user; the single-instance check sees the windows of
// machine.json "open_windows".
#include <cstdint>
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/text.h"

namespace {

// Window handles of the open windows: a fixed base plus four per list position.
constexpr std::uintptr_t kWindowBase = 0x00010000;

const nlohmann::ordered_json* OpenWindows() {
  sim::Machine& m = sim::CurrentOrDie();
  auto it = m.json.find("open_windows");
  if (it == m.json.end() || !it->is_array()) return nullptr;
  return &*it;
}

// The entry of "open_windows" that hWnd stands for, or nullptr.
const nlohmann::ordered_json* WindowOf(HWND hWnd) {
  const nlohmann::ordered_json* list = OpenWindows();
  const std::uintptr_t h = reinterpret_cast<std::uintptr_t>(hWnd);
  if (list == nullptr || h < kWindowBase || (h - kWindowBase) % 4 != 0) return nullptr;
  const size_t index = (h - kWindowBase) / 4;
  if (index >= list->size()) return nullptr;
  return &(*list)[index];
}

std::string StringField(const nlohmann::ordered_json& w, const char* name) {
  auto it = w.find(name);
  return it != w.end() && it->is_string() ? it->get<std::string>() : std::string();
}

const char* HelpCommandName(UINT command) {
  switch (command) {
    case HELP_CONTEXT:
      return "HELP_CONTEXT";
    case HELP_QUIT:
      return "HELP_QUIT";
    case HELP_CONTEXTPOPUP:
      return "HELP_CONTEXTPOPUP";
    case HELP_FINDER:
      return "HELP_FINDER";
    case HELP_WM_HELP:
      return "HELP_WM_HELP";
    case HELP_CONTEXTMENU:
      return "HELP_CONTEXTMENU";
    default:
      return nullptr;
  }
}

}  // namespace

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  sim::Machine& m = sim::CurrentOrDie();
  // A null caption shows as "Error", as Windows does.
  return m.user.AnswerBox(lpCaption != nullptr ? lpCaption : "Error",
                          lpText != nullptr ? lpText : "", uType);
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  const nlohmann::ordered_json* list = OpenWindows();
  if (list != nullptr) {
    for (size_t i = 0; i < list->size(); ++i) {
      const nlohmann::ordered_json& w = (*list)[i];
      if (!w.is_object()) continue;
      if (lpClassName != nullptr && !sim::EqualNoCase(StringField(w, "class"), lpClassName)) {
        continue;
      }
      if (lpWindowName != nullptr && !sim::EqualNoCase(StringField(w, "title"), lpWindowName)) {
        continue;
      }
      return reinterpret_cast<HWND>(kWindowBase + 4 * i);
    }
  }
  sim::CurrentOrDie().last_error = 0;
  return nullptr;
}

BOOL WINAPI GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  const nlohmann::ordered_json* w = WindowOf(hWnd);
  if (w == nullptr || lpwndpl == nullptr) {
    sim::CurrentOrDie().last_error = 1400;  // ERROR_INVALID_WINDOW_HANDLE
    return FALSE;
  }
  auto it = w->find("minimised");
  const bool minimised = it != w->end() && it->is_boolean() && it->get<bool>();
  lpwndpl->flags = 0;
  lpwndpl->showCmd = minimised ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
  lpwndpl->ptMinPosition = {-1, -1};
  lpwndpl->ptMaxPosition = {-1, -1};
  lpwndpl->rcNormalPosition = {100, 100, 490, 428};
  return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  const nlohmann::ordered_json* w = WindowOf(hWnd);
  if (w == nullptr) {
    sim::CurrentOrDie().last_error = 1400;  // ERROR_INVALID_WINDOW_HANDLE
    return FALSE;
  }
  if (nCmdShow == SW_RESTORE) {
    sim::CurrentOrDie().user.Write("front",
                                   sim::EscapeText(StringField(*w, "title")) + " restored");
  }
  auto it = w->find("minimised");
  return it != w->end() && it->is_boolean() && it->get<bool>() ? FALSE : TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int, int, int, int, UINT) {
  const nlohmann::ordered_json* w = WindowOf(hWnd);
  if (w == nullptr) {
    sim::CurrentOrDie().last_error = 1400;
    return FALSE;
  }
  if (hWndInsertAfter == HWND_TOPMOST) {
    sim::CurrentOrDie().user.Write("front", sim::EscapeText(StringField(*w, "title")) + " topmost");
  }
  return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (WindowOf(hWnd) != nullptr) return TRUE;
  // Windows 9x fails without a last error.
  sim::Machine& m = sim::CurrentOrDie();
  if (m.system.NtFamily()) m.last_error = 1400;
  return FALSE;
}

BOOL WINAPI WinHelpA(HWND, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
  const char* name = HelpCommandName(uCommand);
  std::string command = name != nullptr ? name : std::to_string(uCommand);
  sim::User& user = sim::CurrentOrDie().user;
  const std::string file = lpszHelp != nullptr ? lpszHelp : "";
  user.Write("help", sim::EscapeText(file) + " " + command + " " + std::to_string(dwData));
  // The simulated PC has no help engine: a person is told what was asked of it.
  user.Tell("Help: " + file + " " + command + " " + std::to_string(dwData));
  return TRUE;
}
