// Legacy registry cleanups: the Windows 9x default printer and the device's
// uninstall entry.
#pragma once

#include <string>

class CCvScrubberDlg;

class C9xCleanup {
 public:
  // Clears the 9x family's default printer when it names printerName
  // (letter case aside). Every outcome goes to the run log.
  void RemoveDefaultPrinter9x(const std::string& printerName);
};

class CLecternCleanup {
 public:
  // Deletes HKLM\...\Uninstall\<DevIDname> <g_szDeviceID> with its subkeys.
  // A missing entry is no failure; other failures go to the run log.
  void RemoveUninstallEntry(CCvScrubberDlg& dlg);
};
