// Deletion of keys and values, shared-file counters and variable keys.
#include "registry/erase_reg_data.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <new>
#include <vector>

#include "app/main_window.h"
#include "discovery/search_registry.h"
#include "files/remove_software.h"
#include "journal/journal_registry.h"
#include "journal/restore_point.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "platform/later_shell.h"
#include "registry/secure_reg_delete.h"
#include "resources/string_table.h"

namespace {

const char kDeleteKeyOrigin[] = "CEraseRegData::DeleteRegKey() -- ...DeleteKey()";
// The counter reports always name this hive, whatever the entry's code.
const char kCounterHive[] = "HKEY_LOCAL_MACHINE";
constexpr DWORD kCounterBytes = 4;
constexpr DWORD kVariableData = 260;
constexpr DWORD kSubkeyName = 260;

void ShowProgress(const std::string& text) {
  if (CCvScrubberDlg* dlg = TheMainWindow()) dlg->SetProgressText(text);
}

void LogRemoved(const std::string& text) {
  ShowProgress(text);
  CRunLog log;
  log.LogText(FormatText(LoadStr(IDS_REG_REMOVED), text.c_str()));
}

bool CountsAsRemoved(LONG rc) {
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_BADKEY ||
         rc == ERROR_CANTOPEN;
}

void LogCounterNotFound(const std::string& keyPath, const std::string& valueName, LONG rc) {
  CRunLog log;
  log.LogText(FormatText(LoadStr(IDS_REG_COUNTER_NOT_FOUND), kCounterHive, keyPath.c_str(),
                         valueName.c_str(), static_cast<int>(rc)));
}

// The process cannot go on without the list of files to keep.
[[noreturn]] void EndForLackOfMemory(HKEY key, const std::string& valueName) {
  {
    CRunLog log;
    log.LogNote("CEraseRegData::DecrementRegCounter() -- g_aSaveFiles.Add(sRegValue)",
                FormatText(LoadStr(IDS_DAT_NO_MEMORY), valueName.c_str()));
  }
  if (key != nullptr) RegCloseKey(key);
  g_RestorePoint.EndEarly();
  if (CCvScrubberDlg* dlg = TheMainWindow()) {
    WinHelpA(dlg->View().Handle(), LoadStr(IDS_HELP_FILE_NAME), HELP_QUIT, 0);
  }
  ExitProcess(static_cast<UINT>(-1));
}

// A counter that is missing (2) means the file is not shared. Any other
// failure leaves its count unknown: other software may still use the file,
// so the files pass keeps it rather than guess.
void KeepWhenCountUnknown(HKEY key, const std::string& valueName, LONG rc) {
  if (rc == ERROR_FILE_NOT_FOUND) return;
  try {
    g_aSaveFiles.push_back(valueName);
  } catch (const std::bad_alloc&) {
    EndForLackOfMemory(key, valueName);
  }
}

}  // namespace

std::string HiveName(HKEY hive) {
  char name[50] = {};
  GetMainRegKeyName(hive, name, sizeof(name));
  return name;
}

bool CEraseRegData::DeleteRegKey(HKEY hive, const std::string& keyPath, int versionCode,
                                 const std::string& hiveCode) {
  std::string path = keyPath.substr(0, kExpandBuffer - 1);
  if (hive == nullptr) {
    // An unknown hive code: no call is made on the null hive.
    CRunLog log;
    log.LogError(kDeleteKeyOrigin, FormatText(LoadStr(IDS_REG_KEY_NOT_REMOVED), "", path.c_str()),
                 ERROR_INVALID_HANDLE);
    return false;
  }
  if (!PnPKeyManipulation(hive, path, kExpandBuffer)) return false;
  const std::string hiveName = HiveName(hive);
  if (path.size() > kMaxKeyPath) {
    CRunLog log;
    log.LogNote("CEraseRegData::DeleteRegKey() -- cSizeBufNeeded >= cKeyBufSize",
                FormatText(LoadStr(IDS_PNP_BUFFER_TOO_SMALL), hiveName.c_str(), path.c_str()));
    return false;
  }
  // A protected key is backed up here too, before its rights are changed.
  if (!JournalKey(hive, path)) return false;
  LONG rc;
  if (versionCode < 3) {
    rc = RegDeleteKeyA(hive, path.c_str());
  } else {
    rc = static_cast<LONG>(LaterShellDeleteKey(hive, path.c_str()));
    if (rc == ERROR_ACCESS_DENIED) {
      CSecureRegDelete secure;
      rc = secure.DeleteSecureKey(hiveCode.c_str(), path.c_str());
    }
  }
  if (CountsAsRemoved(rc)) {
    LogRemoved(hiveName + "\\" + path);
    return true;
  }
  CRunLog log;
  log.LogError(kDeleteKeyOrigin,
               FormatText(LoadStr(IDS_REG_KEY_NOT_REMOVED), hiveName.c_str(), path.c_str()),
               static_cast<DWORD>(rc));
  return false;
}

bool CEraseRegData::DeleteRegValue(HKEY hive, const std::string& keyPath,
                                   const std::string& valueName) {
  std::string name = valueName.substr(0, kExpandBuffer - 1);
  if (!PnPValueManipulation(hive, keyPath, name, kExpandBuffer)) return false;
  const std::string hiveName = HiveName(hive);
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(hive, keyPath.c_str(), 0, KEY_WRITE, &key);
  if (rc != ERROR_SUCCESS) {
    CRunLog log;
    log.LogText(FormatText(LoadStr(IDS_REG_SHARED_KEY_NOT_FOUND), hiveName.c_str(), keyPath.c_str(),
                           static_cast<int>(rc)));
    return false;
  }
  if (!JournalValue(hive, keyPath, name)) {
    RegCloseKey(key);
    return false;
  }
  rc = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  if (rc == ERROR_SUCCESS) {
    LogRemoved(hiveName + "\\" + keyPath + valueName);
    return true;
  }
  CRunLog log;
  log.LogText(FormatText(LoadStr(IDS_REG_SHARED_VALUE_NOT_FOUND), hiveName.c_str(), keyPath.c_str(),
                         name.c_str(), static_cast<int>(rc)));
  return false;
}

int CEraseRegData::DecrementRegCounter(const std::string& entry, const std::string& valueName) {
  const std::string code = entry.substr(1, 4);
  HKEY hive = GetMainRegKeyHandle(code.c_str());
  if (hive == nullptr) {
    CRunLog log;
    log.LogNote("CEraseRegData::DecrementRegCounter() -- GetMainRegKeyHandle(sKeyCode)",
                FormatText(LoadStr(IDS_REG_UNKNOWN_HIVE), code.c_str()));
    return -1;
  }
  const std::string keyPath = entry.size() > 6 ? entry.substr(6) : std::string();
  HKEY key = nullptr;
  LONG rc =
      RegOpenKeyExA(hive, keyPath.c_str(), 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key);
  if (rc != ERROR_SUCCESS) {
    LogCounterNotFound(keyPath, valueName, rc);
    KeepWhenCountUnknown(nullptr, valueName, rc);
    return -1;
  }
  unsigned char data[kCounterBytes] = {};
  DWORD type = REG_NONE;
  DWORD size = kCounterBytes;
  rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data, &size);
  if (rc != ERROR_SUCCESS) {
    LogCounterNotFound(keyPath, valueName, rc);
    KeepWhenCountUnknown(key, valueName, rc);
    RegCloseKey(key);
    return -1;
  }
  // The whole little-endian count of the bytes stored, not its lowest byte.
  unsigned long long count = 0;
  if (type == REG_BINARY || type == REG_DWORD) {
    for (DWORD i = size; i > 0; --i) count = (count << 8) | data[i - 1];
  }
  if (count >= 1 && !JournalValue(hive, keyPath, valueName)) {
    // The count stays as it was, so the file is kept as well.
    KeepWhenCountUnknown(key, valueName, ERROR_WRITE_FAULT);
    RegCloseKey(key);
    return -1;
  }
  const long long newCount = static_cast<long long>(count) - 1;
  if (newCount != 0) {
    try {
      g_aSaveFiles.push_back(valueName);
    } catch (const std::bad_alloc&) {
      EndForLackOfMemory(key, valueName);
    }
  }
  const int result = static_cast<int>(std::min<long long>(newCount, INT_MAX));
  if (count >= 1) {
    unsigned char out[kCounterBytes] = {};
    for (DWORD i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(newCount >> (8 * i));
    rc = RegSetValueExA(key, valueName.c_str(), 0, type, out, size);
    if (rc != ERROR_SUCCESS) {
      CRunLog log;
      log.LogError("CEraseRegData::DecrementRegCounter() -- RegSetValueEx()",
                   FormatText("sKey = %s%s%s = %d", kCounterHive, keyPath.c_str(),
                              valueName.c_str(), result),
                   static_cast<DWORD>(rc));
    }
  }
  RegCloseKey(key);
  return result;
}

bool CEraseRegData::FindVariableKey(std::string& entry, const std::string& name,
                                    const std::string& data) {
  const std::string code = entry.substr(1, 4);
  HKEY hive = GetMainRegKeyHandle(code.c_str());
  const std::string parent = entry.size() > 6 ? entry.substr(6) : std::string();
  const std::string wanted = LowerText(data.substr(0, 255));
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(hive, parent.c_str(), 0, KEY_READ, &key);
  if (rc != ERROR_SUCCESS) {
    CRunLog log;
    log.LogError("CEraseRegData::FindVariableKey() -- RegOpenKeyEx()",
                 "Key = '" + HiveName(hive) + "\\" + parent + "' \n", static_cast<DWORD>(rc));
    return false;
  }
  std::vector<std::string> paths;
  char subkey[kSubkeyName];
  for (DWORD index = 0;; ++index) {
    DWORD size = kSubkeyName;
    if (RegEnumKeyExA(key, index, subkey, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    std::string path = parent + "\\" + std::string(subkey, size);
    if (path.size() > kMaxKeyPath) {
      // Cut, the path would name another key: it is not examined.
      CRunLog log;
      log.LogNote(
          "CEraseRegData::FindVariableKey() -- cSizeBufNeeded >= cKeyBufSize",
          FormatText(LoadStr(IDS_PNP_BUFFER_TOO_SMALL), HiveName(hive).c_str(), path.c_str()));
      continue;
    }
    paths.push_back(path);
  }
  RegCloseKey(key);
  // Same parent: the byte order of the paths is that of the subkey names.
  std::sort(paths.begin(), paths.end(), std::greater<std::string>());
  for (const std::string& path : paths) {
    HKEY sub = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    char value[kVariableData] = {};
    DWORD size = kVariableData - 1;  // the last byte stays the terminator
    rc = RegQueryValueExA(sub, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                          &size);
    RegCloseKey(sub);
    if (rc != ERROR_SUCCESS) continue;
    if (LowerText(value) == wanted) {
      entry = code + "\\" + path;
      return true;
    }
  }
  return false;
}
