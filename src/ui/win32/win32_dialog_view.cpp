// The small dialogs (information, restart, About) as real dialogs: they only
// draw and hand what the user does to the logic's events.
#include <vector>

#include "app/dialog_ids.h"
#include "app/views.h"
#include "resources/resource.h"
#include "ui/win32/dialog_templates.h"
#include "ui/win32/main_window_handle.h"
#include "ui/win32/modal_window.h"
#include "ui/win32/tool_tips.h"

namespace {

class Win32DialogView : public IDialogView, win32ui::ModalWindow {
 public:
  Win32DialogView(const std::string& title, const std::vector<DialogButton>& buttons,
                  IDialogEvents& events)
      : events_(events) {
    const win32ui::DialogTemplate layout = win32ui::TemplateForTitle(title);
    if (layout.dialogId == 0) return;  // RunModal then answers Cancel at once
    Create(layout.dialogId, layout.acceleratorsId,
           layout.ownedByMainWindow ? win32ui::MainWindowHandle() : nullptr);
    if (hwnd_ == nullptr) return;
    SetWindowTextA(hwnd_, title.c_str());
    for (const DialogButton& button : buttons)
      SetDlgItemTextA(hwnd_, button.id, button.label.c_str());
  }
  ~Win32DialogView() override {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }

  HWND Handle() const override { return hwnd_; }
  void AddListLine(int listId, const std::string& text) override {
    SendDlgItemMessageA(hwnd_, listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void EnableControl(int id, bool enable) override {
    EnableWindow(GetDlgItem(hwnd_, id), enable ? TRUE : FALSE);
  }
  void AddToolTip(int id, const std::string& text) override {
    win32ui::AddToolTip(hwnd_, id, text);
  }

  LONG StreamIn(int id, UINT format, EDITSTREAM& stream) override {
    return static_cast<LONG>(
        SendDlgItemMessageA(hwnd_, id, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream)));
  }
  void SetSel(int id, const CHARRANGE& range) override {
    CHARRANGE copy = range;
    SendDlgItemMessageA(hwnd_, id, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&copy));
  }
  std::string GetSelText(int id) const override {
    CHARRANGE range = {0, 0};
    SendDlgItemMessageA(hwnd_, id, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax <= range.cpMin) return std::string();
    // Room for a line end given as CR LF where the control counts one.
    std::vector<char> text(2 * static_cast<size_t>(range.cpMax - range.cpMin) + 2, '\0');
    const LRESULT copied =
        SendDlgItemMessageA(hwnd_, id, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0) return std::string();
    return std::string(text.data(), static_cast<size_t>(copied) < text.size()
                                        ? static_cast<size_t>(copied)
                                        : text.size() - 1);
  }

  // The first popup of menu resource 141 (whose entries mirror the logic's);
  // a popup built from entries when the resource is missing.
  int TrackPopupMenu(const std::vector<MenuEntry>& entries) override {
    if (menu_ == nullptr)
      menu_ = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_INFO_CONTEXT_MENU));
    HMENU popup = menu_ != nullptr ? GetSubMenu(menu_, 0) : nullptr;
    HMENU built = nullptr;
    if (popup == nullptr) {
      popup = built = CreatePopupMenu();
      for (const MenuEntry& entry : entries)
        AppendMenuA(built, MF_STRING, static_cast<UINT_PTR>(entry.command), entry.label.c_str());
    }
    POINT at = {0, 0};
    GetCursorPos(&at);
    const int command = static_cast<int>(::TrackPopupMenu(
        popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd_, nullptr));
    if (built != nullptr) DestroyMenu(built);
    return command;
  }

  int RunModal() override { return RunLoop(); }
  void EndDialog(int result) override { End(result); }

 private:
  // The default button has the focus when the dialog shows (No in the
  // information dialog).
  void OnShown() override {
    const LRESULT def = SendMessageA(hwnd_, DM_GETDEFID, 0, 0);
    if (HIWORD(def) == DC_HASDEFID) {
      SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, LOWORD(def))),
                   TRUE);
    }
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        return FALSE;  // the focus is set when the dialog shows
      case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), lParam);
      case WM_CLOSE:
        events_.OnCloseBox();
        return TRUE;
      case WM_HELP: {
        const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
        return help->iContextType == HELPINFO_WINDOW && events_.OnContextHelp(help->iCtrlId);
      }
      case WM_CONTEXTMENU:
        return events_.OnContextMenu() ? TRUE : FALSE;
      default:
        return FALSE;
    }
  }

  INT_PTR OnCommand(int id, int code, LPARAM control) {
    if (control != 0 && code != BN_CLICKED) return FALSE;  // list and edit notifications
    if (code != 1 && win32ui::IsDisabledControl(hwnd_, id)) return TRUE;
    // Enter or Escape where the dialog has no such button (the About box's
    // Escape): the logic decides as for the key.
    if ((id == IDOK || id == IDCANCEL) && GetDlgItem(hwnd_, id) == nullptr) {
      events_.OnKey(id == IDOK ? kKeyEnter : kKeyEscape);
    } else {
      events_.OnCommand(id);
    }
    return TRUE;
  }

  IDialogEvents& events_;
  HMENU menu_ = nullptr;  // loaded at the first right click
};

}  // namespace

std::unique_ptr<IDialogView> CreateDialogView(const std::string& title,
                                              const std::vector<DialogButton>& buttons,
                                              IDialogEvents& events) {
  return std::unique_ptr<IDialogView>(new Win32DialogView(title, buttons, events));
}
