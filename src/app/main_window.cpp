#include "app/main_window.h"

#include <cstring>

#include "app/about_box.h"
#include "app/accelerators.h"
#include "app/dialog_ids.h"
#include "app/run_state.h"
#include "config/ini_reader.h"
#include "discovery/detection.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "resources/string_table.h"

namespace {

CCvScrubberDlg* g_pMainWindow = nullptr;

}  // namespace

CCvScrubberDlg* TheMainWindow() { return g_pMainWindow; }

CCvScrubberDlg::CCvScrubberDlg() {
  std::memset(m_szChosenDevice, 0, sizeof m_szChosenDevice);
  g_pMainWindow = this;
}

CCvScrubberDlg::~CCvScrubberDlg() {
  SetLogSwitch(nullptr);
  if (g_pMainWindow == this) g_pMainWindow = nullptr;
}

void CCvScrubberDlg::CreateView() {
  if (!m_pView) m_pView = CreateMainWindowView(LoadStr(IDS_MAIN_TITLE), *this);
}

int CCvScrubberDlg::DoModal() {
  CreateView();
  OnInitDialog();
  return m_pView->RunModal();
}

void CCvScrubberDlg::OnInitDialog() {
  CreateView();
  // The log reads its switch from this window from now on.
  SetLogSwitch(&m_bLogFileOn);

  m_nDevices = 0;
  m_bLogFileOn = 1;
  m_bUninstallStarted = 0;
  ResetDetectionState();
  m_bEnvFamily = m_bSharedFamily = m_bOwnFamily = 0;

  g_sIniFileName = LoadStr(IDS_INI_FILE_NAME);

  IMainWindowView& view = *m_pView;
  view.EnableControl(kIdUninstall, false);
  view.SetTitle(LoadStr(IDS_MAIN_TITLE));
  view.SetControlText(kIdBanner, LoadStr(IDS_BANNER_TEXT));
  view.SetControlText(kIdSubtitle, LoadStr(IDS_SUBTITLE));
  view.SetControlText(kIdSelectPrompt, LoadStr(IDS_SELECT_PROMPT));
  view.SetControlText(kIdUninstall, LoadStr(IDS_UNINSTALL_BUTTON));
  view.SetControlText(kIdCancel, LoadStr(IDS_CANCEL_BUTTON));
  m_aTreeItems.assign(kMaxTreeItems, 0);

  // A fresh run log: the last run's file goes, the header starts the new one.
  char logDir[260];
  GetLogDir(logDir);
  const std::string logPath = std::string(logDir) + LoadStr(IDS_LOG_FILE_NAME);
  DeleteFileA(logPath.c_str());
  SYSTEMTIME now;
  GetLocalTime(&now);
  {
    CRunLog log;
    log.LogText(RunLogHeader(now));
  }

  CGetDataFromINI reader;
  if (!reader.LoadDeviceTree(g_sIniFileName, *this)) {
    MessageBoxA(nullptr, LoadStr(IDS_NO_DEVICES_IN_INI), LoadStr(IDS_MESSAGE_CAPTION),
                MB_OK | MB_ICONERROR);
    ExitProcess(static_cast<UINT>(-1));
  }

  m_aDeviceNames.assign(100, std::string());
  m_aInstallDirs.assign(100, std::string());

  m_bNoDeviceFound = DetectInstalledDevices(*this) ? 0 : 1;

  if (!m_bNoDeviceFound) {
    reader.GetCommonINIvalues(m_aDeviceNames[0]);
    const CStringArray& versions = reader.SWVersions();
    const long n = static_cast<long>(versions.size());
    if (n >= 1) {
      long index = n + g_nVersionCode - 3;
      if (index < 0) index = 0;
      if (index >= n) index = n - 1;  // never past the list
      g_szVersionText = CutToRunLimit(versions[static_cast<size_t>(index)]);
    } else {
      g_szVersionText.clear();
    }
    SelectDeviceInTree(m_aDeviceNames[0], g_szVersionText);
    view.SetFocus(kIdDeviceTree);
  }

  g_aSaveFiles.clear();
}

void CCvScrubberDlg::GetLogDir(char* buffer) { GetRunLogDir(buffer); }

TreeItem CCvScrubberDlg::AddTreeEntry(const std::string& text, TreeItem parent) {
  // Every shown entry has a position, so a tree beyond the positions is cut.
  size_t used = 0;
  while (used < m_aTreeItems.size() && m_aTreeItems[used] != 0) ++used;
  if (used >= kMaxTreeItems) return 0;
  if (m_aTreeItems.size() < kMaxTreeItems) m_aTreeItems.resize(kMaxTreeItems, 0);
  const TreeItem item = m_pView->InsertItem(text, parent);
  m_aTreeItems[used] = item;
  return item;
}

bool CCvScrubberDlg::HasMembers(TreeItem item) const {
  return item != 0 && m_pView->GetChildItem(item) != 0;
}

void CCvScrubberDlg::OnTreeSelChanged(TreeItem item) {
  if (item == 0) return;
  const std::string text = m_pView->GetItemText(item);
  if (HasMembers(item)) {
    m_pView->EnableControl(kIdUninstall, false);
    std::memset(m_szChosenDevice, 0, sizeof m_szChosenDevice);
    m_pView->Expand(item, TreeExpand::kToggle);
  } else {
    m_pView->EnableControl(kIdUninstall, true);
    std::memset(m_szChosenDevice, 0, sizeof m_szChosenDevice);
    std::strncpy(m_szChosenDevice, text.c_str(), sizeof m_szChosenDevice - 1);
  }
}

int CCvScrubberDlg::GetSelectedDevice(char* buffer, int size) {
  const TreeItem item = m_pView->GetSelectedItem();
  if (item == 0 || HasMembers(item) || buffer == nullptr || size <= 0) return 0;
  const std::string text = m_pView->GetItemText(item);
  const TreeItem parent = m_pView->GetParentItem(item);
  std::string name;
  if (parent != 0) {
    const std::string group = m_pView->GetItemText(parent);
    if (group.size() + text.size() + 2 >= static_cast<size_t>(size)) return 0;
    name = group + ", " + text;
  } else {
    if (text.size() >= static_cast<size_t>(size)) return 0;
    name = text;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return 1;
}

int CCvScrubberDlg::SelectDeviceInTree(const std::string& name, const std::string& versionText) {
  IMainWindowView& view = *m_pView;
  for (TreeItem item : m_aTreeItems) {
    if (view.GetParentItem(item) != 0) continue;
    // Entry texts are compared whole, however long.
    const std::string text = view.GetItemText(item);
    if (text.empty()) return 0;
    if (lstrcmpiA(text.c_str(), name.c_str()) != 0) {
      view.SetFocus(kIdDeviceTree);
      view.SelectItem(0);
      continue;
    }
    if (!HasMembers(item)) {
      view.SetFocus(kIdDeviceTree);
      view.EnsureVisible(item);
      view.SelectItem(item);
      return 1;
    }
    for (TreeItem member = view.GetChildItem(item); member != 0;
         member = view.GetNextSiblingItem(member)) {
      if (lstrcmpiA(view.GetItemText(member).c_str(), versionText.c_str()) == 0) {
        view.SetFocus(kIdDeviceTree);
        view.Expand(item, TreeExpand::kExpand);
        view.EnsureVisible(member);
        view.SelectItem(member);
        return view.GetSelectedItem() == member ? 1 : 0;
      }
    }
  }
  return 0;
}

void CCvScrubberDlg::SetProgressText(const std::string& text) {
  m_pView->SetControlText(kIdProgressText, text);
}

void CCvScrubberDlg::SetProgressCaption(const std::string& text) {
  m_pView->SetControlText(kIdProgressCaption, text);
}

void CCvScrubberDlg::RedrawNow() { m_pView->Redraw(); }

void CCvScrubberDlg::OnBannerButton() {
  if (m_bUninstallStarted == 1) return;
  if (m_bLogFileOn == 1) {
    m_bLogFileOn = 0;
    SetProgressText(LoadStr(IDS_LOG_SWITCH_OFF));
  } else {
    m_bLogFileOn = 1;
    SetProgressText(LoadStr(IDS_LOG_SWITCH_ON));
  }
}

void CCvScrubberDlg::OnHelpButton() {
  WinHelpA(m_pView->Handle(), LoadStr(IDS_HELP_FILE_NAME), HELP_CONTEXT, kHelpTopicContents);
}

void CCvScrubberDlg::OnAbout() {
  CAboutDlg about;
  about.DoModal();
}

void CCvScrubberDlg::OnCommand(int id) {
  switch (id) {
    case kIdUninstall:
      UninstallSelectedDevice();
      break;
    case kIdCancel:
      m_pView->EndDialog(IDCANCEL);
      break;
    case kIdHelpButton:
      OnHelpButton();
      break;
    case kIdBanner:
      OnBannerButton();
      break;
    default:
      break;
  }
}

void CCvScrubberDlg::OnKey(int key) {
  const int command = TranslateKey(kMainAccelerators, kMainAcceleratorCount, key);
  if (command != 0) {
    OnCommand(command);
  } else if (key == kKeyEnter) {
    OnCommand(kIdUninstall);  // the dialog's default command
  } else if (key == kKeyEscape) {
    OnCommand(kIdCancel);
  }
}

void CCvScrubberDlg::OnContextHelp(int controlId) {
  const char* file = LoadStr(IDS_HELP_FILE_NAME);
  HWND hwnd = m_pView->Handle();
  switch (controlId) {
    case kIdUninstall:
      WinHelpA(hwnd, file, HELP_CONTEXTPOPUP, kHelpPopupUninstall);
      break;
    case kIdCancel:
      WinHelpA(hwnd, file, HELP_CONTEXTPOPUP, kHelpPopupCancel);
      break;
    case kIdProgressText:
    case kIdProgressCaption:
      WinHelpA(hwnd, file, HELP_CONTEXTPOPUP, kHelpPopupProgress);
      break;
    case kIdBanner:
      WinHelpA(hwnd, file, HELP_CONTEXT, kHelpTopicBanner);
      break;
    case kIdHelpButton:
      WinHelpA(hwnd, file, HELP_CONTEXTPOPUP, kHelpPopupHelpButton);
      break;
    case kIdDeviceTree:
      WinHelpA(hwnd, file, HELP_CONTEXTPOPUP, kHelpPopupTree);
      break;
    default:
      break;  // the default handling shows nothing
  }
}

void CCvScrubberDlg::OnSysCommand(int id) {
  if (id == kSysCommandAbout) OnAbout();
}

void CCvScrubberDlg::OnCloseBox() {
  WinHelpA(m_pView->Handle(), LoadStr(IDS_HELP_FILE_NAME), HELP_QUIT, 0);
  m_pView->EndDialog(IDCANCEL);
}
