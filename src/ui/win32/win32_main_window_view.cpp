// The main window as a real dialog (resource 102, class #32770): the device
// tree, the progress line, tool tips, the system menu's About entry and the
// icons. It only draws and hands what the user does to the logic's events.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "app/dialog_ids.h"
#include "app/views.h"
#include "resources/resource.h"
#include "resources/string_table.h"
#include "ui/win32/main_window_handle.h"
#include "ui/win32/modal_window.h"
#include "ui/win32/tool_tips.h"

namespace {

HWND g_mainWindow = nullptr;

HTREEITEM AsTreeItem(TreeItem item) { return reinterpret_cast<HTREEITEM>(item); }

class Win32MainWindowView : public IMainWindowView, win32ui::ModalWindow {
 public:
  Win32MainWindowView(const std::string& title, IMainWindowEvents& events) : events_(events) {
    Create(IDD_MAIN_WINDOW, IDR_MAIN_ACCELERATORS, nullptr);
    if (hwnd_ == nullptr) return;
    g_mainWindow = hwnd_;
    tree_ = GetDlgItem(hwnd_, kIdDeviceTree);
    SetWindowTextA(hwnd_, title.c_str());
    SetUpWindow();
  }
  ~Win32MainWindowView() override {
    if (g_mainWindow == hwnd_) g_mainWindow = nullptr;
  }

  HWND Handle() const override { return hwnd_; }
  void SetTitle(const std::string& title) override { SetWindowTextA(hwnd_, title.c_str()); }

  TreeItem InsertItem(const std::string& text, TreeItem parent) override {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent != 0 ? AsTreeItem(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());  // copied by the tree
    return static_cast<TreeItem>(
        SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  TreeItem GetParentItem(TreeItem item) const override { return Next(item, TVGN_PARENT); }
  TreeItem GetChildItem(TreeItem item) const override { return Next(item, TVGN_CHILD); }
  TreeItem GetNextSiblingItem(TreeItem item) const override { return Next(item, TVGN_NEXT); }
  std::string GetItemText(TreeItem item) const override {
    if (item == 0) return std::string();
    std::vector<char> text(kMaxItemText, '\0');
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = AsTreeItem(item);
    query.pszText = text.data();
    query.cchTextMax = static_cast<int>(text.size());
    if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
      return std::string();
    return std::string(query.pszText);
  }
  // The tree reports the change (TVN_SELCHANGED) while this call runs.
  void SelectItem(TreeItem item) override {
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(AsTreeItem(item)));
  }
  TreeItem GetSelectedItem() const override {
    return static_cast<TreeItem>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  }
  void Expand(TreeItem item, TreeExpand how) override {
    SendMessageA(tree_, TVM_EXPAND, how == TreeExpand::kToggle ? TVE_TOGGLE : TVE_EXPAND,
                 reinterpret_cast<LPARAM>(AsTreeItem(item)));
  }
  bool IsExpanded(TreeItem item) const override {
    const LRESULT state = SendMessageA(tree_, TVM_GETITEMSTATE,
                                       reinterpret_cast<WPARAM>(AsTreeItem(item)), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
  }
  void EnsureVisible(TreeItem item) override {
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(AsTreeItem(item)));
  }

  // Drawn at once: during the uninstall sequence no message loop runs.
  void SetControlText(int id, const std::string& text) override {
    SetDlgItemTextA(hwnd_, id, text.c_str());
    UpdateWindow(GetDlgItem(hwnd_, id));
  }
  void EnableControl(int id, bool enable) override {
    EnableWindow(GetDlgItem(hwnd_, id), enable ? TRUE : FALSE);
  }
  bool IsControlEnabled(int id) const override {
    HWND control = GetDlgItem(hwnd_, id);
    return control != nullptr && IsWindowEnabled(control);
  }
  // Kept until the window shows: a hidden window cannot take the focus.
  void SetFocus(int id) override {
    focusId_ = id;
    if (IsWindowVisible(hwnd_)) ApplyFocus();
  }
  void Redraw() override {
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

  int RunModal() override { return RunLoop(); }
  void EndDialog(int result) override { End(result); }

 private:
  static constexpr size_t kMaxItemText = 1024;

  TreeItem Next(TreeItem item, UINT relation) const {
    if (item == 0) return 0;
    return static_cast<TreeItem>(
        SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(AsTreeItem(item))));
  }

  // The visual set-up: About entry, icons, tool tips and help ids.
  void SetUpWindow() {
    HMENU systemMenu = GetSystemMenu(hwnd_, FALSE);
    if (systemMenu != nullptr) {
      AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(systemMenu, MF_STRING, kSysCommandAbout, LoadStr(IDS_ABOUT_MENU));
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    icon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    HICON helpIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HELP_BUTTON));
    SendDlgItemMessageA(hwnd_, kIdHelpButton, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(helpIcon));
    win32ui::AddToolTip(hwnd_, kIdUninstall, LoadStr(IDS_TIP_UNINSTALL));
    win32ui::AddToolTip(hwnd_, kIdCancel, LoadStr(IDS_TIP_CANCEL));
    win32ui::AddToolTip(hwnd_, kIdHelpButton, LoadStr(IDS_TIP_HELP));
    SetWindowContextHelpId(GetDlgItem(hwnd_, kIdUninstall), kHelpPopupUninstall);
    SetWindowContextHelpId(GetDlgItem(hwnd_, kIdCancel), kHelpPopupCancel);
  }

  void OnShown() override {
    if (focusId_ != 0) ApplyFocus();
  }
  void ApplyFocus() {
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, focusId_)), TRUE);
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        return FALSE;  // the logic puts the focus
      case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), lParam);
      case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != kSysCommandAbout) return FALSE;
        events_.OnSysCommand(kSysCommandAbout);
        return TRUE;
      case WM_CLOSE:
        events_.OnCloseBox();
        return TRUE;
      case WM_HELP: {
        const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
        if (help->iContextType != HELPINFO_WINDOW) return FALSE;
        events_.OnContextHelp(help->iCtrlId);
        return TRUE;
      }
      case WM_PAINT:
        return IsIconic(hwnd_) ? PaintIcon() : FALSE;
      case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
      default:
        return FALSE;
    }
  }

  INT_PTR OnCommand(int id, int code, LPARAM control) {
    if (control != 0 && code != BN_CLICKED) return FALSE;
    // Enter and Escape stand for Uninstall (IDOK) and Cancel (IDCANCEL); a
    // greyed button is not pressed by them.
    if (code != 1 && win32ui::IsDisabledControl(hwnd_, id)) return TRUE;
    events_.OnCommand(id);
    return TRUE;
  }

  INT_PTR OnNotify(const NMHDR& header) {
    if (header.idFrom != static_cast<UINT_PTR>(kIdDeviceTree)) return FALSE;
    if (header.code == TVN_SELCHANGEDA || header.code == TVN_SELCHANGEDW) {
      const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
      if (change.action == TVC_BYMOUSE) lastMouseSelection_ = GetMessageTime();
      events_.OnTreeSelChanged(reinterpret_cast<TreeItem>(change.itemNew.hItem));
    } else if (header.code == static_cast<UINT>(NM_CLICK)) {
      OnTreeClick();
    }
    return FALSE;
  }

  // A click on the entry that is selected already changes no selection, yet
  // the logic hears of it (a group opens or closes). The tree reports the
  // click before or after it selects, by version: a selection made by this
  // very click (same message time) is not reported twice.
  void OnTreeClick() {
    TVHITTESTINFO hit = {};
    const DWORD at = GetMessagePos();  // where the click was, not where the mouse is now
    hit.pt.x = static_cast<short>(LOWORD(at));
    hit.pt.y = static_cast<short>(HIWORD(at));
    ScreenToClient(tree_, &hit.pt);
    const auto item =
        static_cast<TreeItem>(SendMessageA(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item == 0 || (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) == 0) return;
    if (item != GetSelectedItem() || lastMouseSelection_ == GetMessageTime()) return;
    events_.OnTreeSelChanged(item);
  }

  // Minimised: the icon centred in the client area.
  INT_PTR PaintIcon() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
    return TRUE;
  }

  IMainWindowEvents& events_;
  HWND tree_ = nullptr;
  HICON icon_ = nullptr;
  int focusId_ = 0;
  LONG lastMouseSelection_ = -1;
};

}  // namespace

namespace win32ui {

HWND MainWindowHandle() { return g_mainWindow; }

}  // namespace win32ui

std::unique_ptr<IMainWindowView> CreateMainWindowView(const std::string& title,
                                                      IMainWindowEvents& events) {
  return std::unique_ptr<IMainWindowView>(new Win32MainWindowView(title, events));
}
