// The driver's test program: a dialog with a tree view, a list box, buttons
// and message boxes, which tells by message boxes what reached it, so that a
// transcript shows whether the driver's clicks and keys arrived.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

namespace {

HWND g_main = nullptr;

void Tell(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), "Test Note", MB_OK | MB_ICONINFORMATION);
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[128] = {};
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  TreeView_GetItem(tree, &tv);
  return text;
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  return TreeView_InsertItem(tree, &insert);
}

INT_PTR CALLBACK SecondProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageA(dialog, 1026, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Caf\xE9 line"));
    SendDlgItemMessageA(dialog, 1026, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\path"));
    SetDlgItemTextA(dialog, 1017, "First line\r\tSecond line\r");
    return TRUE;
  }
  if (message == WM_COMMAND &&
      (LOWORD(wParam) == 1 || LOWORD(wParam) == 2 || LOWORD(wParam) == 1030)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == 32772) {
    Tell(dialog, "copy command");
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND tree = GetDlgItem(dialog, 1029);
      HTREEITEM group = Insert(tree, TVI_ROOT, "Printer Group");
      Insert(tree, group, "Model A");
      HTREEITEM b = Insert(tree, group, "Model B");
      Insert(tree, TVI_ROOT, "Lone Scanner");
      TreeView_SelectItem(tree, b);
      SendDlgItemMessageA(dialog, 1025, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("found one"));
      return TRUE;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == 1029 && header->code == TVN_SELCHANGEDA) {
        const NMTREEVIEWA* change = reinterpret_cast<const NMTREEVIEWA*>(lParam);
        // Only a user's click: the selection made at start tells nothing.
        if (change->action != TVC_UNKNOWN || IsWindowVisible(dialog)) {
          Tell(dialog, "selected " + ItemText(header->hwndFrom, change->itemNew.hItem));
        }
      }
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case 2:
          DestroyWindow(dialog);
          PostQuitMessage(7);
          return TRUE;
        case 1:  // greyed: a click must not arrive
          Tell(dialog, "uninstall");
          return TRUE;
        case 1003: {
          const int answer = MessageBoxA(dialog, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION);
          Tell(dialog, answer == IDYES ? "answer yes" : "answer no");
          return TRUE;
        }
        case 1004: {
          const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102),
                                                 dialog, SecondProc, 0);
          Tell(dialog, "second ended " + std::to_string(result));
          return TRUE;
        }
        case 1021:
          MessageBoxA(dialog, "Help button", "Test Note", MB_OK | MB_ICONERROR);
          return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == 16) {
        Tell(dialog, "about");
        return TRUE;
      }
      return FALSE;
    case WM_HELP: {
      const int control = reinterpret_cast<HELPINFO*>(lParam)->iCtrlId;
      if (control == 1003) {
        // As the real program: context help from a help file that is not there.
        const BOOL shown = WinHelpA(dialog, "NoSuchFile.hlp", HELP_CONTEXT, 10);
        Tell(dialog, "help call returned " + std::to_string(shown));
        return TRUE;
      }
      Tell(dialog, "help on " + std::to_string(control));
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(dialog);
      PostQuitMessage(9);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryA("riched20.dll");
  g_main = CreateDialogParamA(instance, MAKEINTRESOURCEA(101), nullptr, MainProc, 0);
  ShowWindow(g_main, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The typed character "k" is this window's one accelerator.
    if (msg.message == WM_CHAR && msg.wParam == 'k') {
      Tell(g_main, "key k");
      continue;
    }
    if (IsDialogMessageA(g_main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
