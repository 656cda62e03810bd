#include "discovery/directories.h"

#include "app/main_window.h"
#include "app/run_state.h"
#include "discovery/detection.h"
#include "discovery/find_aio_in_reg.h"
#include "discovery/find_default_dirs.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

std::string g_szInstallDir;
std::string g_szDeviceID;

namespace {

// Directory texts live in 260-character buffers.
std::string AsPath(const std::string& text) {
  return text.size() > kPathBuffer - 1 ? text.substr(0, kPathBuffer - 1) : text;
}

void LogText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

// The models with a device ID in the registry, in the order they are asked.
const int kDeviceIDOrder[] = {kModelTRX420,  kModelCorvusW,    kModelTRX5100,    kModelTRX5150,
                              kModelTRX5170, kModelTRX5200,    kModelCorvus8100, kModelCorvus7100,
                              kModelTRX3200, kModelCorvus7105, kModelTRX3100};

}  // namespace

void ResetDirectoryState() {
  g_szInstallDir.clear();
  g_szDeviceID.clear();
  ClearFinderCaches();
}

void DiscoverDirectories(CCvScrubberDlg& dlg, CFindAiOinReg& finder, int nDeviceModel) {
  std::string* slots = dlg.DeviceDirectories;
  if (!dlg.m_bEnvFamily && !dlg.m_bSharedFamily && !dlg.m_bOwnFamily) {
    LogText(LoadStr(IDS_LOG_INSTALL_DATA_NOT_FOUND));
    slots[kDirInstall].clear();
    slots[kDirOCR].clear();
    slots[kDirDeviceID].clear();
    g_szDeviceID.clear();
    return;
  }
  LogText(LoadStr(IDS_LOG_INSTALL_DATA_FOUND));
  slots[kDirInstall] = dlg.m_nDevices > 0 ? AsPath(dlg.m_aInstallDirs[0]) : std::string();
  // Detection ran before the control file's defaults were known; the finder
  // has just looked the run's model up again, with the default as fallback.
  if (slots[kDirInstall].empty()) slots[kDirInstall] = InstallDirCache();
  if (slots[kDirInstall].empty()) return;
  g_szInstallDir = slots[kDirInstall];

  char dir[kPathBuffer] = {};
  CopyPath(dir, slots[kDirOCR].c_str());
  finder.GetOCRDir(dir, nDeviceModel);
  slots[kDirOCR] = dir;

  char id[kPathBuffer] = {};
  for (int code : kDeviceIDOrder) {
    if (!IsModelDetected(code)) continue;
    CopyPath(dir, slots[kDirDeviceID].c_str());
    finder.GetDeviceIDDir(dir, id, code);
    slots[kDirDeviceID] = dir;
    break;
  }
  g_szDeviceID = id;
}

void ValidateDirectories(const std::string& deviceName) {
  CCvScrubberDlg* dlg = TheMainWindow();
  if (dlg == nullptr) return;
  std::string* slots = dlg->DeviceDirectories;
  CFindDefaultDirs seeker;
  if (AnyModelDetected()) {
    dlg->SetProgressText(LoadStr(IDS_PROGRESS_VALIDATING_DIRS));
    if (lstrcmpiA(g_szInstallDir.c_str(), g_sDefaultVTDir.c_str()) == 0) {
      g_szInstallDir = AsPath(seeker.SeekInstallDir());
    }
    if (lstrcmpiA(slots[kDirOCR].c_str(), g_sDefaultOCRDir.c_str()) == 0) {
      slots[kDirOCR] = AsPath(seeker.SeekOCRDir());
    }
    if (!g_szDeviceID.empty()) return;
    slots[kDirDeviceID] = AsPath(seeker.SeekDeviceIDDir(g_szInstallDir, g_szDeviceID));
    return;
  }
  const char* searching = LoadStr(IDS_PROGRESS_SEARCHING_DEFAULT_DIR);
  dlg->SetProgressText(FormatText(searching, 1));
  g_szInstallDir = AsPath(seeker.SeekInstallDir());
  dlg->SetProgressText(FormatText(searching, 2));
  slots[kDirOCR] = AsPath(seeker.SeekOCRDir());
  SetModelFromName(deviceName);
  if (!g_bPhotoDesk) return;
  dlg->SetProgressText(FormatText(searching, 3));
  std::string base = g_szInstallDir;
  if (base.empty() || base.back() != '\\') base += '\\';
  base += "Photo Desk\\";
  base += g_RemovalData.DevIDname;
  slots[kDirDeviceID] = AsPath(seeker.SeekDeviceIDDir(base, g_szDeviceID));
}
