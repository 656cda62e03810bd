#include "discovery/detection.h"

#include "app/main_window.h"
#include "discovery/detectors.h"
#include "discovery/directories.h"

namespace {

// One flag per detectable model, indexed by model code (8 maps onto 2).
bool g_abModelDetected[kLastModelCode + 1] = {};

int FlagIndex(int code) {
  if (code < 0 || code > kLastModelCode || code == 17) return -1;
  return code == kModelCorvusMOwn ? kModelCorvusM : code;
}

}  // namespace

int g_bPhotoDesk = 0;
int g_nVersionCode = -1;
int g_bSeveralDevices = 0;

bool IsModelDetected(int code) {
  const int i = FlagIndex(code);
  return i >= 0 && g_abModelDetected[i];
}

void SetModelDetected(int code, bool detected) {
  const int i = FlagIndex(code);
  if (i >= 0) g_abModelDetected[i] = detected;
}

bool AnyModelDetected() {
  for (bool flag : g_abModelDetected) {
    if (flag) return true;
  }
  return false;
}

bool IsPhotoDeskModel(int code) {
  return code >= kModelTRX5100 && code <= kLastModelCode && code != 17;
}

const char* ModelDisplayName(int code) {
  static const char* const kNames[kLastModelCode + 1] = {
      "VT Corvus 380 series",  "VT Corvus R series",    "VT Corvus M series",
      "VT Corvus N series",    "VT Corvus P series",    "VT TRX 380 series",
      "VT TRX 420 series",     "VT Corvus W series",    "VT Corvus M series",
      "VT TRX 5100 series",    "VT TRX 5150 series",    "VT TRX 5200 series",
      "VT Corvus 8100 series", "VT Corvus 7100 series", "VT TRX 3200 series",
      "VT TRX 5170 series",    "VT TRX 3100 series",    "",
      "VT Corvus 7105 series"};
  if (code < 0 || code > kLastModelCode) return "";
  return kNames[code];
}

int& FamilyFlag(CCvScrubberDlg& dlg, int code) {
  if (code == kModelCorvus380 || code == kModelCorvusR) return dlg.m_bEnvFamily;
  if (code >= kModelCorvusM && code <= kModelTRX380) return dlg.m_bSharedFamily;
  return dlg.m_bOwnFamily;
}

void ResetDetectionState() {
  for (bool& flag : g_abModelDetected) flag = false;
  g_bPhotoDesk = 0;
  g_nVersionCode = -1;
  g_bSeveralDevices = 0;
}

bool DetectInstalledDevices(CCvScrubberDlg& dlg) {
  CFindAiOinReg finder;
  for (int code : kDetectionOrder) {
    char installDir[kPathBuffer] = {};
    const std::string name = DetectModel(finder, code, installDir);
    if (name.empty()) continue;
    const size_t index = static_cast<size_t>(dlg.m_nDevices);
    // The list is sized by the window; never write past it.
    if (index >= dlg.m_aDeviceNames.size()) dlg.m_aDeviceNames.resize(index + 1);
    if (index >= dlg.m_aInstallDirs.size()) dlg.m_aInstallDirs.resize(index + 1);
    dlg.m_aInstallDirs[index] = installDir;
    dlg.m_aDeviceNames[index] = name;
    SetModelDetected(code, true);
    FamilyFlag(dlg, code) = 1;
    ++dlg.m_nDevices;
  }
  // The run log keeps its directory once it has found it.
  char logDir[kPathBuffer];
  dlg.GetLogDir(logDir);
  FillFixedDirectories(dlg, finder);
  g_bSeveralDevices = dlg.m_nDevices > 1 ? 1 : 0;
  return dlg.m_nDevices > 0;
}
