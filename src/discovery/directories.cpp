#include "discovery/directories.h"

std::string g_szInstallDir;
std::string g_szDeviceID;

void ResetDirectoryState() {
  g_szInstallDir.clear();
  g_szDeviceID.clear();
}

// Placeholder until directory discovery is built: finds nothing, logs nothing.
void DiscoverDirectories(CCvScrubberDlg&, CFindAiOinReg&, int) {}

// Placeholder until directory validation is built.
void ValidateDirectories(const std::string&) {}
