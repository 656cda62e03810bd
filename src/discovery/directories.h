// The directories that the DAT lists refer to.
#pragma once

#include <string>

class CCvScrubberDlg;
class CFindAiOinReg;

// Slots of the main window's DeviceDirectories.
enum DeviceDirectorySlot : int {
  kDirInstall = 0,
  kDirSystem = 1,
  kDirWindows = 2,
  kDirDesktop = 3,
  kDirUserPrograms = 4,
  kDirOCR = 5,
  kDirCommonPrograms = 6,
  kDirDeviceID = 7,
};
constexpr int kDeviceDirectoryCount = 8;

// The install directory handed to the list readers, and the device ID.
extern std::string g_szInstallDir;
extern std::string g_szDeviceID;

// Empties g_szInstallDir, g_szDeviceID and the finder's caches.
void ResetDirectoryState();

// The end of detection: system, Windows, common programs, user programs and
// desktop directories into DeviceDirectories.
void FillFixedDirectories(CCvScrubberDlg& dlg, CFindAiOinReg& finder);
// Fills slots 0, 5 and 7, g_szInstallDir and g_szDeviceID from the detected
// devices (nDeviceModel -1 when none was detected).
void DiscoverDirectories(CCvScrubberDlg& dlg, CFindAiOinReg& finder, int nDeviceModel);
// Completes and checks the directories for the chosen device, searching the
// control file's defaults on disk; shows its progress on the main window.
void ValidateDirectories(const std::string& deviceName);
// Sets the model, generation and Photo Desk flags of a device chosen by name.
void SetModelFromName(const std::string& deviceName);
