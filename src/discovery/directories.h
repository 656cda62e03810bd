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

void ResetDirectoryState();

// Fills DeviceDirectories and g_szInstallDir from the detected devices.
void DiscoverDirectories(CCvScrubberDlg& dlg, CFindAiOinReg& finder, int nDeviceModel);
// Completes and checks the directories for the chosen device.
void ValidateDirectories(const std::string& deviceName);
