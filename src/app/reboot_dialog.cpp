#include "app/reboot_dialog.h"

#include "app/accelerators.h"
#include "app/dialog_ids.h"
#include "resources/string_table.h"

int CRebootDlg::DoModal() {
  m_pView = CreateDialogView(
      LoadStr(IDS_REBOOT_TITLE),
      {{kIdRebootNow, LoadStr(IDS_REBOOT_NOW_BUTTON)}, {kIdCancel, LoadStr(IDS_CANCEL_BUTTON)}},
      *this);
  m_pView->AddToolTip(kIdRebootNow, LoadStr(IDS_REBOOT_TIP_NOW));
  m_pView->AddToolTip(kIdCancel, LoadStr(IDS_TIP_EXIT));
  const int result = m_pView->RunModal();
  m_pView.reset();
  return result;
}

void CRebootDlg::OnCommand(int id) {
  if (id == kIdRebootNow) {
    // The dialog stays open: a failed restart leaves Cancel to the user, and
    // a second press goes through the whole privilege procedure again.
    CReboot reboot;
    reboot.RestartWindows();
  } else if (id == kIdCancel) {
    m_pView->EndDialog(IDCANCEL);
  }
}

void CRebootDlg::OnKey(int key) {
  const int command = TranslateKey(kRebootAccelerators, kRebootAcceleratorCount, key);
  if (command != 0) {
    OnCommand(command);
  } else if (key == kKeyEscape) {
    OnCommand(kIdCancel);
  }
}

void CRebootDlg::OnCloseBox() { m_pView->EndDialog(IDCANCEL); }
