#include "ui/win32/modal_window.h"

#include <algorithm>
#include <vector>

namespace win32ui {

namespace {

// Open windows, the most recently created last.
std::vector<ModalWindow*>& OpenWindows() {
  static std::vector<ModalWindow*> windows;
  return windows;
}

}  // namespace

ModalWindow::~ModalWindow() {
  auto& open = OpenWindows();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  if (hwnd_ != nullptr) {
    // No message may reach the half-destroyed object.
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

void ModalWindow::Create(int templateId, int acceleratorsId, HWND owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  owner_ = owner;
  if (acceleratorsId != 0)
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(acceleratorsId));
  CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProc,
                     reinterpret_cast<LPARAM>(this));
  if (hwnd_ != nullptr) OpenWindows().push_back(this);
}

INT_PTR CALLBACK ModalWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    reinterpret_cast<ModalWindow*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<ModalWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

bool ModalWindow::PreTranslate(MSG& msg) {
  const auto& open = OpenWindows();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    ModalWindow* window = *it;
    if (msg.hwnd != window->hwnd_ && !IsChild(window->hwnd_, msg.hwnd)) continue;
    if (window->accelerators_ != nullptr &&
        TranslateAcceleratorA(window->hwnd_, window->accelerators_, &msg)) {
      return true;
    }
    return IsDialogMessageA(window->hwnd_, &msg) != FALSE;
  }
  return false;
}

int ModalWindow::RunLoop() {
  if (hwnd_ == nullptr) return IDCANCEL;  // the template could not be loaded
  ended_ = false;
  result_ = IDCANCEL;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  OnShown();
  const bool disableOwner = owner_ != nullptr && IsWindowEnabled(owner_);
  if (disableOwner) EnableWindow(owner_, FALSE);
  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loops end too
      break;
    }
    if (got == -1) break;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // The owner first, so that it, not another program, becomes active.
  if (disableOwner) EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  return result_;
}

void ModalWindow::End(int result) {
  ended_ = true;
  result_ = result;
  if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

bool IsDisabledControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr && !IsWindowEnabled(control);
}

}  // namespace win32ui
