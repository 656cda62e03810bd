#include "target_windows.h"

#include <commctrl.h>

namespace windriver {

namespace {

struct Search {
  DWORD processId;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->processId && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
    search->found->push_back(hwnd);
  }
  return TRUE;
}

std::string WithoutMnemonics(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" is one "&"
    out += text[i];
  }
  return out;
}

std::string ToCodePage(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size,
                      nullptr, nullptr);
  return text;
}

// A block of memory in another process, freed when it goes.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, SIZE_T size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  char* at(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
  bool ok() const { return address_ != nullptr; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_;
  void* address_ = nullptr;
};

constexpr SIZE_T kTextOffset = 256;
constexpr int kTextSize = 1024;

bool ItemText(const RemoteBlock& block, HWND tree, HTREEITEM item, std::string* text,
              bool* selected) {
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
  tv.hItem = item;
  tv.stateMask = TVIS_SELECTED;
  tv.pszText = block.at(kTextOffset);
  tv.cchTextMax = kTextSize;
  if (!block.Write(0, &tv, sizeof tv)) return false;
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)))) return false;
  char buffer[kTextSize + 1] = {};
  if (!block.Read(kTextOffset, buffer, kTextSize)) return false;
  *text = buffer;
  if (!block.Read(0, &tv, sizeof tv)) return false;
  *selected = (tv.state & TVIS_SELECTED) != 0;
  return true;
}

}  // namespace

std::vector<HWND> DialogsOf(DWORD processId) {
  std::vector<HWND> found;
  Search search = {processId, &found};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return found;
}

std::string WindowText(HWND hwnd) {
  // WM_GETTEXT rather than GetWindowText: the latter does not ask
  // controls of another process for their text.
  const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT got =
      SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(got));
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::vector<Button> ButtonsOf(HWND dialog) {
  std::vector<Button> buttons;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || ClassOf(child) != "Button") continue;
    const LONG style = GetWindowLongA(child, GWL_STYLE) & 0x0F;
    if (style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON && style != BS_OWNERDRAW &&
        style != BS_USERBUTTON) {
      continue;
    }
    buttons.push_back(Button{child, GetDlgCtrlID(child), WithoutMnemonics(WindowText(child)),
                             IsWindowEnabled(child) != FALSE});
  }
  return buttons;
}

bool IsMessageBox(HWND dialog) {
  HWND text = GetDlgItem(dialog, 0xFFFF);
  if (text == nullptr) text = GetDlgItem(dialog, 100);
  return text != nullptr && ClassOf(text) == "Static" && TreeOf(dialog) == nullptr;
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  if (text == nullptr) text = GetDlgItem(box, 100);
  return text == nullptr ? std::string() : WindowText(text);
}

std::vector<std::pair<int, std::string>> ListLines(HWND dialog) {
  std::vector<std::pair<int, std::string>> lines;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "ListBox") continue;
    const int id = GetDlgCtrlID(child);
    const LRESULT count = SendMessageA(child, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      // Wine hands list-box texts to another process in UTF-16 whatever the
      // message's form: ask for that and turn it into the code page.
      const LRESULT length = SendMessageW(child, LB_GETTEXTLEN, i, 0);
      if (length < 0) continue;
      std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
      const LRESULT got = SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
      wide.resize(got < 0 ? 0 : static_cast<size_t>(got));
      const std::string text = ToCodePage(wide);
      lines.push_back({id, text});
    }
  }
  return lines;
}

HWND TreeOf(HWND dialog) { return FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr); }

bool ReadTree(HANDLE process, HWND tree, std::vector<TreeEntry>* entries) {
  RemoteBlock block(process, kTextOffset + kTextSize + 16);
  if (!block.ok()) return false;
  for (HTREEITEM root = TreeView_GetRoot(tree); root != nullptr;
       root = TreeView_GetNextSibling(tree, root)) {
    TreeEntry group = {root, "", 0, false};
    if (!ItemText(block, tree, root, &group.text, &group.selected)) return false;
    entries->push_back(group);
    for (HTREEITEM member = TreeView_GetChild(tree, root); member != nullptr;
         member = TreeView_GetNextSibling(tree, member)) {
      TreeEntry entry = {member, "", 1, false};
      if (!ItemText(block, tree, member, &entry.text, &entry.selected)) return false;
      entries->push_back(entry);
    }
  }
  return true;
}

bool ItemRect(HANDLE process, HWND tree, HANDLE item, RECT* rect) {
  RemoteBlock block(process, sizeof(RECT));
  if (!block.ok()) return false;
  // TVM_GETITEMRECT takes the item in the rectangle's first field.
  RECT in = {};
  *reinterpret_cast<HANDLE*>(&in) = item;
  if (!block.Write(0, &in, sizeof in)) return false;
  if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.at(0)))) {
    return false;
  }
  return block.Read(0, rect, sizeof *rect);
}

}  // namespace windriver
