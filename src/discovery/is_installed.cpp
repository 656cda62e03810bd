// The registry probe of detection and the Photo Desk version check.
#include <cstring>

#include "discovery/detection.h"
#include "discovery/search_registry.h"
#include "log/run_log.h"
#include "platform/format_text.h"

const char kSharedUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TRX 5000 Series";

bool CFindAiOinReg::IsInstalled(const char* subKey, const char* valueName, char* buffer,
                                DWORD capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  std::memset(buffer, 0, capacity);
  const char* key = subKey != nullptr ? subKey : "";
  const char* name = valueName != nullptr ? valueName : "";
  HKEY hKey = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &hKey);
  if (opened != ERROR_SUCCESS) {
    // Not installed is the normal answer; only other failures are worth a line.
    if (opened != ERROR_FILE_NOT_FOUND) {
      CRunLog log;
      log.LogError("CFindAiOinReg::IsInstalled() -- RegOpenKeyEx()",
                   FormatText("Key = 'HKEY_LOCAL_MACHINE\\%s'", key), static_cast<DWORD>(opened));
    }
    return false;
  }
  DWORD size = capacity;
  const LONG queried =
      RegQueryValueExA(hKey, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
  RegCloseKey(hKey);
  if (queried != ERROR_SUCCESS) {
    if (queried == ERROR_MORE_DATA) {
      CRunLog log;
      log.LogError("CFindAiOinReg::IsInstalled() -- RegQueryValueEx()",
                   FormatText("ValueName = '%s'\n\tSpace Needed = %d\n\tSpace Available = %d", name,
                              static_cast<int>(size), static_cast<int>(capacity)),
                   static_cast<DWORD>(queried));
    }
    std::memset(buffer, 0, capacity);
    return false;
  }
  TerminateQueriedText(buffer, capacity);
  return buffer[0] != '\0';
}

int CheckUninstallVersion(CFindAiOinReg& finder, const char* const* subKeys,
                          const char* const* valueNames, int count) {
  char value[1024];
  int found = -1;
  for (int i = 0; i < count; ++i) {
    if (finder.IsInstalled(subKeys[i], valueNames[i], value, sizeof value)) {
      found = i;
      break;
    }
  }
  if (found < 0) return -1;
  if (lstrcmpiA(subKeys[found], kSharedUninstallKey) == 0) return 0;
  // "DisplayVersion": only the first four characters count (1.00.123 is 1.00).
  char head[5] = {};
  std::memcpy(head, value, 4);
  if (std::strlen(value) < 4) return -1;
  if (lstrcmpiA(head, "1.00") == 0) return 1;
  if (lstrcmpiA(head, "1.10") == 0) return 2;
  return -1;
}
