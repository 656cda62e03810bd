// The About box of the main window's system menu.
#pragma once

#include "app/views.h"

class CAboutDlg : public IDialogEvents {
 public:
  int DoModal();

  void OnCommand(int id) override;
  void OnKey(int key) override;
  bool OnContextHelp(int) override { return false; }
  void OnCloseBox() override;

 private:
  std::unique_ptr<IDialogView> m_pView;
};
