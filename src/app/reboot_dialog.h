// The restart dialog CRebootDlg and the restart itself, CReboot.
#pragma once

#include "app/views.h"

class CReboot {
 public:
  CReboot();
  // Starts the restart or tells the user to restart.
  int RestartWindows();
};

class CRebootDlg : public IDialogEvents {
 public:
  int DoModal();

  void OnCommand(int id) override;
  void OnKey(int key) override;
  bool OnContextHelp(int) override { return false; }
  void OnCloseBox() override;

 private:
  std::unique_ptr<IDialogView> m_pView;
};
