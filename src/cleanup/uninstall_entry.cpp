// CLecternCleanup::RemoveUninstallEntry: the later models' software registers
// one Windows uninstall entry per connected device.
#include "app/run_state.h"
#include "app/version_code.h"
#include "cleanup/legacy_cleanup.h"
#include "discovery/directories.h"
#include "journal/journal_registry.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "platform/later_shell.h"
#include "platform/win32.h"
#include "resources/string_table.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Codes that mean there was nothing (left) to delete.
bool IsSilent(LONG code) {
  return code == ERROR_SUCCESS || code == ERROR_FILE_NOT_FOUND || code == ERROR_BADKEY ||
         code == ERROR_CANTOPEN;
}

}  // namespace

void CLecternCleanup::RemoveUninstallEntry(CCvScrubberDlg&) {
  const std::string path = kUninstallKey + g_RemovalData.DevIDname + " " + g_szDeviceID;
  if (!JournalKey(HKEY_LOCAL_MACHINE, path)) return;
  // The 9x family's RegDeleteKeyA takes the subkeys along; the NT family's
  // refuses a key that has any, so the shell's tree deletion is used there.
  const LONG code = IsWin9xFamily(GetWindowsVersionCode())
                        ? RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str())
                        : static_cast<LONG>(LaterShellDeleteKey(HKEY_LOCAL_MACHINE, path.c_str()));
  if (IsSilent(code)) return;
  CRunLog log;
  log.LogError(
      "CLecternCleanup::RemoveUninstallEntry() -- ...DeleteKey()",
      FormatText(LoadStr(IDS_UNINSTALL_ENTRY_NOT_REMOVED), "HKEY_LOCAL_MACHINE", path.c_str()),
      static_cast<DWORD>(code));
}
