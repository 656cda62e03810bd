// The information and confirmation dialog CInfoDlg: the chosen device, the
// detected devices and the question whether to uninstall.
#pragma once

#include <string>

#include "app/views.h"

class CInfoDlg : public IDialogEvents {
 public:
  CInfoDlg();

  void SetInfoFile(int stringId) { m_nInfoFile = stringId; }
  void SetInfoMode(int mode) { m_nMode = mode; }
  // 1 for Yes, 2 for No, Escape or the close box.
  int DoModal();

  std::string m_szChosenDevice;  // copied in by the caller (260 characters)
  std::string m_szVersionText;   // copied in by the caller

  void OnCommand(int id) override;
  void OnKey(int key) override;
  bool OnContextHelp(int controlId) override;
  bool OnCopy() override;
  bool SupportsCopy() const override { return true; }
  void OnCloseBox() override;

 private:
  void OnInitDialog();
  void FillFoundDevices();

  int m_nMode = 0;
  int m_nInfoFile = -1;
  std::unique_ptr<IDialogView> m_pView;
};
