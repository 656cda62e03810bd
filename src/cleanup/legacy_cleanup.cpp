#include "cleanup/legacy_cleanup.h"

// Placeholder until the default-printer cleanup is built.
int C9xCleanup::RemoveDefaultPrinter9x(const std::string&) { return 0; }

// Placeholder until the uninstall-entry cleanup is built.
int CLecternCleanup::RemoveUninstallEntry(CCvScrubberDlg&) { return 0; }
