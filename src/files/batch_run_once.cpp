// Registering the deferred erase batch to run once at the next start.
#include <algorithm>

#include "files/batch_erase_files.h"
#include "files/batch_lines.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"

std::string WithBackslash(const std::string& dir) {
  if (!dir.empty() && dir.back() == '\\') return dir;
  return dir + "\\";
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
  return name.substr(0, dot);
}

int CBatchEraseFiles::WriteToRegRunOnce(const std::string& dir) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_WRITE, &key);
  if (rc != ERROR_SUCCESS) {
    CRunLog log;
    log.LogError("CBatchEraseFiles::WriteToRegRunOnce() -- RegOpenKeyEx()",
                 FormatText("sKey = 'HKEY_LOCAL_MACHINE\\%s'", kRunOnceKey),
                 static_cast<DWORD>(rc));
    return 0;
  }
  const std::string valueName = WithoutExtension(kEraseBatchName);
  const std::string data = WithBackslash(dir) + kEraseBatchName;
  // The count leaves out the terminating zero (Windows stores one anyway).
  rc = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size()));
  if (rc != ERROR_SUCCESS) {
    {
      CRunLog log;
      log.LogError("CBatchEraseFiles::WriteToRegRunOnce() -- RegSetValueEx()",
                   FormatText("sKey = 'HKEY_LOCAL_MACHINE\\%s'\t sValue = '%s'", kRunOnceKey,
                              valueName.c_str()),
                   static_cast<DWORD>(rc));
    }
    RegCloseKey(key);
    return 0;
  }
  RegCloseKey(key);
  return 1;
}

bool IsRegisteredEraseBatch(const std::string& batchPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  char data[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  DWORD type = 0;
  const std::string valueName = WithoutExtension(kEraseBatchName);
  const LONG rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                   reinterpret_cast<LPBYTE>(data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  const std::string registered(data, std::find(data, data + size, '\0'));
  if (UpperText(registered) != UpperText(batchPath)) return false;
  const DWORD attributes = GetFileAttributesA(batchPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
