// What the driver reads from the dialogs of another process: its top-level
// dialogs, their texts, buttons, list boxes, message-box parts and the tree
// view (read through a buffer in the target process).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windriver {

// Visible top-level dialogs (class #32770) of a process, top of the Z order
// first.
std::vector<HWND> DialogsOf(DWORD processId);

std::string WindowText(HWND hwnd);
std::string ClassOf(HWND hwnd);

struct Button {
  HWND hwnd;
  int id;
  std::string label;  // the text without its "&" mnemonic marks
  bool enabled;
};
// Visible push buttons of a dialog in tab order.
std::vector<Button> ButtonsOf(HWND dialog);

// A message box: its text control is 0xFFFF (100 in older Wine).
bool IsMessageBox(HWND dialog);
std::string MessageBoxText(HWND box);

// The lines of the list boxes of a dialog, as "ID: TEXT" (not escaped).
std::vector<std::pair<int, std::string>> ListLines(HWND dialog);

struct TreeEntry {
  HANDLE item;  // HTREEITEM of the target
  std::string text;
  int depth;  // 0 for top-level entries
  bool selected;
};
HWND TreeOf(HWND dialog);
// The entries of a tree view in tree order, members after their group.
// Reads through memory allocated in the target process.
bool ReadTree(HANDLE process, HWND tree, std::vector<TreeEntry>* entries);
// The item's rectangle (text part) in client coordinates; false when the
// item is not visible.
bool ItemRect(HANDLE process, HWND tree, HANDLE item, RECT* rect);

}  // namespace windriver
