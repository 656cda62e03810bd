// The windows of the program as the dialog logic sees them. The logic lives in
// app/; a front end (terminal or real dialogs) implements these views and
// reports what the user does back through the events interfaces.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/device_tree_sink.h"
#include "platform/win32.h"

// What the user does in the main window.
class IMainWindowEvents {
 public:
  virtual ~IMainWindowEvents() = default;
  // The tree's selection changed to item (also when a click hits the selected entry).
  virtual void OnTreeSelChanged(TreeItem item) = 0;
  virtual void OnCommand(int id) = 0;  // a button was pressed
  virtual void OnKey(int key) = 0;     // a key was typed (accelerators first)
  virtual void OnContextHelp(int controlId) = 0;
  virtual void OnSysCommand(int id) = 0;  // a system-menu entry
  virtual void OnCloseBox() = 0;
};

enum class TreeExpand { kExpand, kToggle };

// The main window: its device tree and controls.
class IMainWindowView {
 public:
  virtual ~IMainWindowView() = default;
  virtual HWND Handle() const = 0;
  virtual void SetTitle(const std::string& title) = 0;

  // Tree: a new entry after the last one of its level (parent 0: top level).
  virtual TreeItem InsertItem(const std::string& text, TreeItem parent) = 0;
  virtual TreeItem GetParentItem(TreeItem item) const = 0;
  virtual TreeItem GetChildItem(TreeItem item) const = 0;
  virtual TreeItem GetNextSiblingItem(TreeItem item) const = 0;
  virtual std::string GetItemText(TreeItem item) const = 0;
  // Selects item (0 clears the selection); a change is reported with OnTreeSelChanged.
  virtual void SelectItem(TreeItem item) = 0;
  virtual TreeItem GetSelectedItem() const = 0;
  virtual void Expand(TreeItem item, TreeExpand how) = 0;
  virtual bool IsExpanded(TreeItem item) const = 0;
  virtual void EnsureVisible(TreeItem item) = 0;

  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual bool IsControlEnabled(int id) const = 0;
  virtual void SetFocus(int id) = 0;
  virtual void Redraw() = 0;

  // Shows the window and lets the user act until EndDialog; returns its result.
  virtual int RunModal() = 0;
  virtual void EndDialog(int result) = 0;
};

// What the user does in one of the small dialogs.
class IDialogEvents {
 public:
  virtual ~IDialogEvents() = default;
  virtual void OnCommand(int id) = 0;
  virtual void OnKey(int key) = 0;
  // False when the dialog leaves context help to the default handling.
  virtual bool OnContextHelp(int controlId) = 0;
  // A right click in the dialog; false when the dialog has no context menu.
  virtual bool OnContextMenu() { return false; }
  // Whether the dialog's context menu has Copy (the terminal's `copy`).
  virtual bool SupportsCopy() const { return false; }
  virtual void OnCloseBox() = 0;
};

struct DialogButton {
  int id;
  std::string label;
};

// An entry of a popup menu: its command and its text ("Copy\tCtrl-C").
struct MenuEntry {
  int command;
  std::string label;
};

// A small modal dialog: buttons, list boxes, static texts.
class IDialogView {
 public:
  virtual ~IDialogView() = default;
  virtual HWND Handle() const = 0;
  virtual void AddListLine(int listId, const std::string& text) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  // A tool tip shown while the mouse rests on control id.
  virtual void AddToolTip(int id, const std::string& text) = 0;

  // The rich-text control id (EM_STREAMIN): asks stream.pfnCallback for
  // chunks until it gives no bytes or returns an error (kept in
  // stream.dwError); format SF_RTF or SF_TEXT. Returns the characters read.
  virtual LONG StreamIn(int id, UINT format, EDITSTREAM& stream) = 0;
  // EM_EXSETSEL: {0, -1} selects everything.
  virtual void SetSel(int id, const CHARRANGE& range) = 0;
  // EM_GETSELTEXT: the selected text, "" when nothing is selected.
  virtual std::string GetSelText(int id) const = 0;

  // Opens a popup menu at the mouse, tracking the right button; returns the
  // command chosen, 0 when the menu was dismissed.
  virtual int TrackPopupMenu(const std::vector<MenuEntry>& entries) = 0;
  virtual int RunModal() = 0;
  virtual void EndDialog(int result) = 0;
};

// Factories of the front end. The window exists (and is announced) from here
// on; the logic initialises it before RunModal.
std::unique_ptr<IMainWindowView> CreateMainWindowView(const std::string& title,
                                                      IMainWindowEvents& events);
std::unique_ptr<IDialogView> CreateDialogView(const std::string& title,
                                              const std::vector<DialogButton>& buttons,
                                              IDialogEvents& events);
