#include "app/info_dialog.h"

#include "app/accelerators.h"
#include "app/dialog_ids.h"
#include "discovery/detection.h"
#include "resources/string_table.h"

namespace {

// Order of the found-devices list.
const int kFoundOrder[] = {kModelCorvusR,    kModelCorvus380, kModelCorvusM, kModelCorvusN,
                           kModelCorvusP,    kModelTRX380,    kModelTRX420,  kModelCorvusW,
                           kModelTRX5100,    kModelTRX5150,   kModelTRX5170, kModelTRX5200,
                           kModelCorvus8100, kModelTRX3200,   kModelTRX3100, kModelCorvus7100,
                           kModelCorvus7105};

}  // namespace

CInfoDlg::CInfoDlg() = default;

int CInfoDlg::DoModal() {
  m_contextMenu.clear();  // loaded once per dialog
  m_bMenuLoaded = false;
  m_pView = CreateDialogView(
      LoadStr(IDS_INFO_TITLE),
      {{kIdYes, LoadStr(IDS_INFO_YES_BUTTON)}, {kIdNo, LoadStr(IDS_INFO_NO_BUTTON)}}, *this);
  OnInitDialog();
  const int result = m_pView->RunModal();
  m_pView.reset();
  return result;
}

// The title, the button labels and the static texts come with the view.
void CInfoDlg::OnInitDialog() {
  m_pView->AddListLine(kIdChosenList, m_szChosenDevice);
  AddToolTips();
  ReadRichEditFile();
  FillFoundDevices();
}

void CInfoDlg::AddToolTips() {
  m_pView->AddToolTip(kIdYes, LoadStr(IDS_INFO_TIP_YES));
  m_pView->AddToolTip(kIdNo, LoadStr(IDS_TIP_EXIT));
  m_pView->AddToolTip(kIdFoundList, LoadStr(IDS_INFO_TIP_FOUND));
  m_pView->AddToolTip(kIdChosenList, LoadStr(IDS_INFO_TIP_CHOSEN));
}

void CInfoDlg::FillFoundDevices() {
  for (int model : kFoundOrder) {
    if (!IsModelDetected(model)) continue;
    std::string name = ModelDisplayName(model);
    if (name.size() > 63) name.resize(63);
    m_pView->AddListLine(kIdFoundList, name);
    if (!m_szVersionText.empty()) m_pView->AddListLine(kIdFoundList, "> " + m_szVersionText);
  }
}

void CInfoDlg::OnCommand(int id) {
  if (id == kIdYes) m_pView->EndDialog(1);
  if (id == kIdNo) m_pView->EndDialog(2);
  if (id == kIdCopyCommand) CopyTextToClipboard();
}

void CInfoDlg::OnKey(int key) {
  const int command = TranslateKey(kInfoAccelerators, kInfoAcceleratorCount, key);
  if (command != 0) {
    OnCommand(command);
  } else if (key == kKeyEnter) {
    OnCommand(kIdNo);  // No is the default button
  } else if (key == kKeyEscape) {
    OnCommand(kIdNo);
  }
}

bool CInfoDlg::OnContextHelp(int controlId) {
  unsigned popup = 0;
  switch (controlId) {
    case kIdYes:
      popup = 32;
      break;
    case kIdNo:
      popup = 31;
      break;
    case kIdFoundList:
      popup = 36;
      break;
    case kIdChosenList:
      popup = 33;
      break;
    case kIdRichText:
      popup = m_nMode == 1 ? 35 : m_nMode == 2 ? 14 : 11;
      break;
    default:
      return false;
  }
  WinHelpA(m_pView->Handle(), LoadStr(IDS_HELP_FILE_NAME), HELP_CONTEXTPOPUP, popup);
  return true;
}

bool CInfoDlg::OnContextMenu() {
  if (!m_bMenuLoaded) {
    m_contextMenu = {{kIdCopyCommand, LoadStr(IDS_INFO_MENU_COPY)}};
    m_bMenuLoaded = true;
  }
  const int command = m_pView->TrackPopupMenu(m_contextMenu);
  if (command != 0) OnCommand(command);
  return true;
}

void CInfoDlg::OnCloseBox() { m_pView->EndDialog(2); }
