// A dialog from a resource template, created hidden so the logic can fill it
// before it is shown, then run modally by its own message loop. Every window
// of this kind that is open takes its keyboard messages through its own
// accelerator table and the dialog manager, whichever loop is running (an
// ownerless dialog leaves the windows under it usable).
#pragma once

#include <windows.h>

namespace win32ui {

class ModalWindow {
 public:
  ModalWindow(const ModalWindow&) = delete;
  ModalWindow& operator=(const ModalWindow&) = delete;

 protected:
  ModalWindow() = default;
  virtual ~ModalWindow();

  // Creates the dialog templateId (hidden) with accelerator table
  // acceleratorsId (0: none); owner is disabled while RunLoop runs.
  void Create(int templateId, int acceleratorsId, HWND owner);
  // Shows the window and dispatches messages until End; returns End's result
  // (IDCANCEL when the session ends first).
  int RunLoop();
  // Ends the loop and hides the window at once, as EndDialog does.
  void End(int result);

  // The dialog procedure of the derived window (WM_INITDIALOG included).
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Called once the window is visible, before the loop starts.
  virtual void OnShown() {}

  HWND hwnd_ = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Accelerators and dialog keys of the open window msg is for.
  static bool PreTranslate(MSG& msg);

  HACCEL accelerators_ = nullptr;
  HWND owner_ = nullptr;
  bool ended_ = false;
  int result_ = IDCANCEL;
};

// A button that the dialog manager or an accelerator would press, but which
// is greyed: a click on it could not happen either.
bool IsDisabledControl(HWND dialog, int id);

}  // namespace win32ui
