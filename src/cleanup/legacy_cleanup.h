// Legacy registry cleanups: the Windows 9x default printer and the uninstall entry.
#pragma once

#include <string>

class CCvScrubberDlg;

class C9xCleanup {
 public:
  int RemoveDefaultPrinter9x(const std::string& devIDname);
};

class CLecternCleanup {
 public:
  int RemoveUninstallEntry(CCvScrubberDlg& dlg);
};
