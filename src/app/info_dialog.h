// The information and confirmation dialog CInfoDlg: the information text,
// the chosen device, the detected devices and the question whether to
// uninstall.
#pragma once

#include <string>
#include <vector>

#include "app/views.h"

// The context menu's one command (menu resource 141).
constexpr int kIdCopyCommand = 32772;

class CInfoDlg : public IDialogEvents {
 public:
  CInfoDlg();

  void SetInfoFile(int stringId) { m_nInfoFile = stringId; }
  void SetInfoMode(int mode) { m_nMode = mode; }
  // 1 for Yes, 2 for No, Escape or the close box.
  int DoModal();

  std::string m_szChosenDevice;  // copied in by the caller (260 characters)
  std::string m_szVersionText;   // copied in by the caller

  // Streams the information file into the rich-text control: 1 without a
  // file to show or when it was read, 0 when it is missing or unreadable.
  int ReadRichEditFile();
  // The selected information text (all of it when nothing is selected) to
  // the clipboard as plain text.
  void CopyTextToClipboard();

  void OnCommand(int id) override;
  void OnKey(int key) override;
  bool OnContextHelp(int controlId) override;
  bool OnContextMenu() override;
  bool SupportsCopy() const override { return true; }
  void OnCloseBox() override;

 private:
  void OnInitDialog();
  void AddToolTips();
  void FillFoundDevices();

  int m_nMode = 0;
  int m_nInfoFile = -1;
  // The context menu's first popup, loaded at the first right click.
  std::vector<MenuEntry> m_contextMenu;
  bool m_bMenuLoaded = false;
  std::unique_ptr<IDialogView> m_pView;
};
