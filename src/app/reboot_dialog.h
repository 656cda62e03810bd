// The restart dialog CRebootDlg: Reboot Now asks Windows to restart (CReboot),
// Cancel ends the dialog.
#pragma once

#include "app/reboot.h"
#include "app/views.h"

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
