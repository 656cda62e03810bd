// Run-wide state of the uninstall sequence that no window owns.
#pragma once

#include <string>

#include "config/string_list.h"
#include "platform/win32.h"

// Entries of the removal lists and the version text are limited to this many
// characters; longer texts are cut.
constexpr size_t kRunTextLimit = 127;

// The control-file name (from the string table), up to 1023 characters.
extern std::string g_sIniFileName;
// The software-version text shown in the information dialog.
extern std::string g_szVersionText;

// The removal data copied from the control file for the removal steps.
struct RemovalData {
  std::string DevIDname;
  std::string DevIDfax;
  CStringArray PnP;
  CStringArray MagicKey;
  CStringArray KnownClasses;
  CStringArray Monitors;
  CStringArray Services;
  CStringArray MsiPack;
  DWORD timeoutMs = 0;
};
extern RemovalData g_RemovalData;

// The run's default install and OCR directories (DefaultVTDir, DefaultOCRDir).
extern std::string g_sDefaultVTDir;
extern std::string g_sDefaultOCRDir;

// Cuts text to the run-wide limit.
std::string CutToRunLimit(const std::string& text);

// Resets every run-wide state of the program (this file's, detection,
// directories, saved files and reboot directories, the Plug-and-Play ID, the run log's, the DAT
// reader's and the protected-key preparation), as at the start of a process. Tests call it between
// runs.
void ResetAllRunState();
