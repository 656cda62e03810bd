#include "app/about_box.h"

#include "app/dialog_ids.h"
#include "resources/string_table.h"

int CAboutDlg::DoModal() {
  m_pView = CreateDialogView(LoadStr(IDS_ABOUT_TITLE), {{kIdAboutOk, "OK"}}, *this);
  const int result = m_pView->RunModal();
  m_pView.reset();
  return result;
}

void CAboutDlg::OnCommand(int id) {
  if (id == kIdAboutOk) m_pView->EndDialog(IDOK);
}

void CAboutDlg::OnKey(int key) {
  if (key == kKeyEnter) m_pView->EndDialog(IDOK);
  if (key == kKeyEscape) m_pView->EndDialog(IDCANCEL);
}

void CAboutDlg::OnCloseBox() { m_pView->EndDialog(IDCANCEL); }
