#include "discovery/search_registry.h"

#include <cstring>

#include "log/run_log.h"
#include "platform/format_text.h"

namespace {

struct HiveEntry {
  const char* code;
  HKEY hive;
  const char* name;
};

// Always searched in this order, in both directions.
const HiveEntry kHives[] = {
    {"HKLM", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {"HKCR", HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {"HKCC", HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {"HKCU", HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {"HKPD", HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {"HKDD", HKEY_DYN_DATA, "HKEY_DYN_DATA"},
    {"HKUS", HKEY_USERS, "HKEY_USERS"},
};

// "HKEY_PERFORMANCE_DATA" and its terminator.
constexpr DWORD kLongestHiveName = 22;

}  // namespace

void TerminateQueriedText(char* buffer, DWORD capacity) {
  if (buffer != nullptr && capacity > 0) buffer[capacity - 1] = '\0';
}

bool CSearchRegistry::OpenKey(const char* subKey) {
  const char* key = subKey != nullptr ? subKey : "";
  m_hKey = nullptr;
  const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &m_hKey);
  if (result == ERROR_SUCCESS) return true;
  m_hKey = nullptr;
  // A missing key is what a PC without the software answers.
  if (result == ERROR_FILE_NOT_FOUND) return false;
  CRunLog log;
  log.LogError("CSearchRegistry::OpenKey() -- RegOpenKeyEx()",
               FormatText("Key = 'HKEY_LOCAL_MACHINE\\%s'", key), static_cast<DWORD>(result));
  return false;
}

bool CSearchRegistry::ReadValue(const char* valueName, char* buffer, DWORD capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  std::memset(buffer, 0, capacity);
  // Without an open key there is nothing to read: a second read needs a new OpenKey.
  if (m_hKey == nullptr) return false;
  const char* name = valueName != nullptr ? valueName : "";
  DWORD size = capacity;
  const LONG result =
      RegQueryValueExA(m_hKey, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
  RegCloseKey(m_hKey);
  m_hKey = nullptr;
  if (result != ERROR_SUCCESS) {
    CRunLog log;
    log.LogError("CSearchRegistry::ReadValue() -- RegQueryValueEx()",
                 FormatText("ValueName = '%s'", name), static_cast<DWORD>(result));
    // A failed query may leave anything in the buffer.
    std::memset(buffer, 0, capacity);
    return false;
  }
  TerminateQueriedText(buffer, capacity);
  return buffer[0] != '\0';
}

HKEY GetMainRegKeyHandle(const char* sKeyCode) {
  if (sKeyCode == nullptr) return nullptr;
  for (const HiveEntry& entry : kHives) {
    if (lstrcmpiA(sKeyCode, entry.code) == 0) return entry.hive;
  }
  return nullptr;
}

bool GetMainRegKeyName(HKEY hive, char* buffer, DWORD capacity) {
  if (buffer == nullptr || capacity < kLongestHiveName) return false;
  for (const HiveEntry& entry : kHives) {
    if (hive == entry.hive) {
      std::memcpy(buffer, entry.name, std::strlen(entry.name) + 1);
      return true;
    }
  }
  return false;
}
