#include "files/remove_software.h"

#include "log/run_log.h"
#include "platform/format_text.h"
#include "platform/win32.h"
#include "registry/erase_reg_data.h"

CStringArray g_aSaveFiles;

// Each uninstall looks for its Plug-and-Play ID afresh.
CRemoveSoftware::CRemoveSoftware() { g_szPnPtext.clear(); }

int CRemoveSoftware::HasAccessRights(const std::string& testKey) {
  if (testKey.empty()) return 0;
  // Read, set value and create subkey together (0x2001F).
  const REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, testKey.c_str(), 0, access, &key);
  if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return 1;
  }
  CRunLog log;
  log.LogError("CRemoveSoftware::HasAccessRights() -- RegOpenKeyEx()",
               FormatText("sKey = 'HKEY_LOCAL_MACHINE\\%s'", testKey.c_str()),
               static_cast<DWORD>(rc));
  return 0;
}
