// UninstallSelectedDevice: the whole removal of one device, from the
// confirmation to the restart prompt.
#include <cstring>
#include <string>

#include "app/dialog_ids.h"
#include "app/info_dialog.h"
#include "app/main_window.h"
#include "app/model_patterns.h"
#include "app/reboot_dialog.h"
#include "app/run_state.h"
#include "app/version_code.h"
#include "cleanup/inf_seek_and_destroy.h"
#include "cleanup/legacy_cleanup.h"
#include "config/dat_list.h"
#include "config/ini_reader.h"
#include "discovery/detection.h"
#include "discovery/directories.h"
#include "discovery/install_dir_rules.h"
#include "files/remove_software.h"
#include "journal/restore_point.h"
#include "journal/undo_journal.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "resources/string_table.h"

namespace {

constexpr DWORD kDefaultTimeoutMs = 240000;

void LogText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

std::string DeviceBannerLine() {
  std::string line;
  for (int i = 0; i < 36; ++i) {
    if (i > 0) line += '-';
    line += '8';
  }
  return line + " \n";
}

void CopyList(const CStringArray& from, CStringArray& to) {
  to.clear();
  for (const std::string& entry : from) to.push_back(CutToRunLimit(entry));
}

}  // namespace

void CCvScrubberDlg::EnableRunButtons(bool enable) {
  m_pView->EnableControl(kIdCancel, enable);
  m_pView->EnableControl(kIdUninstall, enable);
  m_pView->EnableControl(kIdHelpButton, enable);
  m_pView->EnableControl(kIdBanner, enable);
}

void CCvScrubberDlg::EndRun(bool footerWritten) {
  if (!footerWritten) LogText(RunLogFooter());
  m_pView->EndDialog(IDOK);
}

void CCvScrubberDlg::ErrorExit(unsigned textId, unsigned icon, bool footerFirst,
                               bool logTextFirst) {
  char logDir[260];
  GetLogDir(logDir);
  const std::string text = FormatText(LoadStr(textId), logDir);
  // The journal and the restore point end before the footer: their last
  // lines belong to the run. The restore point of a removal that stopped
  // early is ended, not cancelled: steps have run, and it is their way back.
  g_RestorePoint.EndEarly();
  g_UndoJournal.Close();
  if (footerFirst) LogText(RunLogFooter());
  if (logTextFirst) LogText(text);
  MessageBoxA(nullptr, text.c_str(), LoadStr(IDS_MESSAGE_CAPTION), MB_OK | icon);
  EndRun(footerFirst);
}

void CCvScrubberDlg::UninstallSelectedDevice() {
  // One run per start: the information dialog and the unplug reminder have
  // no owner, so the Uninstall button stays clickable while they wait.
  if (m_bUninstallStarted == 1) return;
  // 1: the Enter key reaches here even while the button is disabled.
  if (!m_pView->IsControlEnabled(kIdUninstall)) return;
  m_bUninstallStarted = 1;
  const int code = GetWindowsVersionCode();

  std::memset(m_szChosenDevice, 0, sizeof m_szChosenDevice);
  GetSelectedDevice(m_szChosenDevice, sizeof m_szChosenDevice);
  const std::string name = m_szChosenDevice;

  // 5: model patterns.
  const std::string upperName = UpperCaseName(name);
  m_bChosenNotDetected = ChosenNotDetected(upperName);

  // 6: information dialog, shown in a rich-text control.
  LoadLibraryA("RICHED32.DLL");
  {
    const InfoFileChoice choice =
        ChooseInfoFile(g_bSeveralDevices != 0, m_bNoDeviceFound != 0, m_bChosenNotDetected != 0);
    CInfoDlg info;
    info.SetInfoFile(static_cast<int>(choice.stringId));
    info.SetInfoMode(choice.mode);
    info.m_szVersionText = g_szVersionText;
    info.m_szChosenDevice = name;
    if (info.DoModal() == 2) return EndRun(false);
  }

  // 7: unplug reminder.
  if (MessageBoxA(nullptr, LoadStr(UnplugReminderTextId(upperName, g_bPhotoDesk != 0)),
                  LoadStr(IDS_UNPLUG_CAPTION), MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL) {
    return EndRun(false);
  }

  // 8-10: from here on the run cannot be interrupted.
  EnableRunButtons(false);
  const int safeFlag = name.find("Safe") != std::string::npos ? 1 : 0;
  const std::string eights = DeviceBannerLine();
  LogText(eights);
  LogText("8 \n");
  LogText(FormatText(LoadStr(IDS_BANNER_SCRUBBING), name.c_str()));
  LogText("8 \n");
  LogText(eights);
  LogText("\n");

  // 11-12.
  CGetDataFromINI ini;
  CListFromFile filesReader;
  const std::string filesPath = ini.PathToUninstallFile(name, code, "FilesPath");
  if (filesPath.empty()) return ErrorExit(IDS_EXIT_A, MB_ICONWARNING, true, false);

  // 14 comes first: with the control file's defaults known, a model whose
  // registry names no directory falls back on them while its directories are found.
  ini.GetDefaultDirs();
  g_sDefaultVTDir = ini.DefaultVTDir();
  g_sDefaultOCRDir = ini.DefaultOCRDir();

  // 13: directories of the detected model.
  {
    CFindAiOinReg finder;
    const int model = ModelCodeOfRun();
    if (model == -1) {
      DiscoverDirectories(*this, finder, -1);
    } else if (finder.FindInstallDirectory(model)) {
      DiscoverDirectories(*this, finder, model);
    }
  }

  // 15-17.
  ini.GetCommonINIvalues(name);
  const std::string testKey = ini.GetTestRegEntry();
  if (testKey.empty()) {
    // A line of its own: the next entry must not run on behind it.
    LogText(std::string(LoadStr(IDS_NO_TEST_KEY)) + "\n");
  } else {
    CRemoveSoftware rights;
    if (rights.HasAccessRights(testKey) == 0) {
      return ErrorExit(IDS_EXIT_B, MB_ICONERROR, false, true);
    }
  }
  if (!ini.GetUnregisterData(name)) return ErrorExit(IDS_EXIT_C, MB_ICONWARNING, false, false);

  // 18: removal data for the removal steps.
  g_RemovalData.DevIDname = CutToRunLimit(ini.DevIDname());
  g_RemovalData.DevIDfax = CutToRunLimit(ini.DevIDfax());
  CopyList(ini.PnPIDs(), g_RemovalData.PnP);
  CopyList(ini.MagicKeys(), g_RemovalData.MagicKey);
  CopyList(ini.KnownClasses(), g_RemovalData.KnownClasses);
  CopyList(ini.Monitors(), g_RemovalData.Monitors);
  CopyList(ini.Services(), g_RemovalData.Services);
  CopyList(ini.MsiPacks(), g_RemovalData.MsiPack);
  g_RemovalData.timeoutMs = ini.Timeout() == 0 ? kDefaultTimeoutMs : ini.Timeout();
  const RemovalData& data = g_RemovalData;

  // The undo journal, when the common section asks for one, is open before
  // the first removal step; without it nothing may be removed.
  g_UndoJournal.Reset();
  if (ini.IsSwitchOn(kUndoJournalKey) && !g_UndoJournal.Open()) {
    return ErrorExit(IDS_EXIT_JOURNAL, MB_ICONWARNING, true, false);
  }
  // The restore point, when asked for, likewise: one around the whole removal.
  g_RestorePoint.Reset();
  if (ini.IsSwitchOn(kRestorePointKey)) g_RestorePoint.Begin(name, code);

  // 19-21.
  ValidateDirectories(name);
  VTDeletePnP(data.DevIDname, data.DevIDfax, data.PnP, data.KnownClasses, data.Monitors,
              data.Services, data.MsiPack, data.timeoutMs, safeFlag, code);
  RedrawNow();

  // 22-23.
  if (IsWin9xFamily(code)) {
    C9xCleanup cleanup;
    cleanup.RemoveDefaultPrinter9x(data.DevIDname);
  }
  {
    CRemoveSoftware faxRemover;
    if (m_bOwnFamily) {
      faxRemover.DelMyFaxesDir(DeviceDirectories[kDirDeviceID]);
    } else if (m_bSharedFamily) {
      std::string dir = g_szInstallDir;
      if (dir.empty() || dir.back() != '\\') dir += '\\';
      faxRemover.DelMyFaxesDir(dir + data.DevIDname + "\\" + data.DevIDname);
    }
  }

  // 24-26: the registry list.
  CListFromFile regReader;
  CRemoveSoftware remover;
  const std::string regPath = ini.PathToUninstallFile(name, code, "RegPath");
  if (regPath.empty()) return ErrorExit(IDS_EXIT_A, MB_ICONWARNING, true, false);
  SetProgressText(LoadStr(IDS_PROGRESS_READING_REG_DAT));
  const std::string installDir = HandOverInstallDir(g_szInstallDir);
  regReader.SetVTInstallDir(installDir);
  regReader.SetSystemDir(DeviceDirectories[kDirSystem]);
  regReader.SetWindowsDir(DeviceDirectories[kDirWindows]);
  if (regReader.ListFromFile(regPath, m_aRegList) == -1 || regReader.GetCount() == 0) {
    return ErrorExit(IDS_EXIT_A, MB_ICONWARNING, true, false);
  }
  SetProgressCaption(LoadStr(IDS_CAPTION_UNINSTALLING_REG));
  remover.EraseRegList(m_aRegList, code);

  // 27-28: the files list. An unreadable list (-1) stops the run as an empty one does.
  filesReader.SetVTInstallDir(installDir);
  filesReader.SetSystemDir(DeviceDirectories[kDirSystem]);
  filesReader.SetWindowsDir(DeviceDirectories[kDirWindows]);
  filesReader.SetDesktopDir(DeviceDirectories[kDirDesktop]);
  filesReader.SetOCRDir(DeviceDirectories[kDirOCR]);
  filesReader.SetCommonProgramsDir(WithoutStartup(DeviceDirectories[kDirCommonPrograms]));
  filesReader.SetUserProgramsDir(DeviceDirectories[kDirUserPrograms]);
  filesReader.SetDeviceIDDir(DeviceDirectories[kDirDeviceID]);
  filesReader.SetTempDir();
  SetProgressText(LoadStr(IDS_PROGRESS_READING_FILES_DAT));
  if (filesReader.ListFromFile(filesPath, m_aFilesList) <= 0 || filesReader.GetCount() == 0) {
    return ErrorExit(IDS_EXIT_C, MB_ICONWARNING, true, false);
  }
  SetProgressCaption(LoadStr(IDS_CAPTION_DELETING_FILES));
  remover.DeleteFiles(m_aFilesList, code);

  // 29: OEM INF files.
  if (code == 2 || code == 4 || (code == 5 && g_bPhotoDesk)) {
    SetProgressText(LoadStr(IDS_PROGRESS_REMOVING_INF));
    LogText(LoadStr(IDS_LOG_SEARCHING_INF));
    const std::string infDir = DeviceDirectories[kDirWindows] + "\\INF";
    for (size_t i = 0; i < data.MagicKey.size(); ++i) {
      CInfSeekAndDestroy inf;
      inf.DeleteINF(infDir, data.MagicKey[i], static_cast<int>(i));
    }
  }

  // 30-32.
  {
    CLecternCleanup cleanup;
    cleanup.RemoveUninstallEntry(*this);
  }
  g_UndoJournal.Close();
  g_RestorePoint.End();
  {
    CRebootDlg reboot;
    reboot.DoModal();
  }
  EndRun(false);
}
