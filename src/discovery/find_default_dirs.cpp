#include "discovery/find_default_dirs.h"

#include <cstring>

#include "app/run_state.h"
#include "discovery/find_aio_in_reg.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

bool AllDigits(const char* name) {
  if (name[0] == '\0') return false;
  for (const char* p = name; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
  }
  return true;
}

// Returns to the remembered directory (if it was known).
void ChangeBack(const std::string& remembered) {
  if (!remembered.empty()) SetCurrentDirectoryA(remembered.c_str());
}

}  // namespace

CFindDefaultDirs::CFindDefaultDirs() = default;

bool CFindDefaultDirs::VTSeekDirectory(const std::string& path) {
  if (path.empty()) return false;
  const std::string remembered = CurrentDirectory();
  bool found = true;
  if (!SetCurrentDirectoryA(path.c_str())) {
    found = false;
    const DWORD code = GetLastError();
    CRunLog log;
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      log.LogText(FormatText(LoadStr(IDS_LOG_DIR_NOT_FOUND), path.c_str(), static_cast<int>(code)));
    } else {
      log.LogNote(
          "CFindDefaultDirs::VTSeekDirectory -- SetCurrentDirectory()",
          FormatText(">>> Unable to change to this directory:\n\t'%s' \n\tError code = %d \n",
                     path.c_str(), static_cast<int>(code)));
    }
  }
  ChangeBack(remembered);
  return found;
}

std::string CFindDefaultDirs::SeekInstallDir() {
  return VTSeekDirectory(g_sDefaultVTDir) ? g_sDefaultVTDir : m_sEmpty;
}

std::string CFindDefaultDirs::SeekOCRDir() {
  if (g_sDefaultOCRDir.empty()) return m_sEmpty;
  return VTSeekDirectory(g_sDefaultOCRDir) ? g_sDefaultOCRDir : m_sEmpty;
}

std::string CFindDefaultDirs::SeekDeviceIDDir(const std::string& base, std::string& outID) {
  m_sDeviceIDDir.clear();
  if (!VTSeekDirectory(base)) return m_sDeviceIDDir;
  const std::string remembered = CurrentDirectory();
  outID.clear();
  if (SetCurrentDirectoryA(base.c_str())) {
    WIN32_FIND_DATAA found;
    std::memset(&found, 0, sizeof found);
    HANDLE search = FindFirstFileA("*.*", &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        found.cFileName[sizeof found.cFileName - 1] = '\0';
        const char* name = found.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
        if (!AllDigits(name)) continue;
        m_sDeviceIDDir = base;
        if (m_sDeviceIDDir.back() != '\\') m_sDeviceIDDir += '\\';
        m_sDeviceIDDir += name;
        outID = name;
        break;
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  ChangeBack(remembered);
  // A result that would not fit a path buffer is cut like any other path.
  if (m_sDeviceIDDir.size() > kPathBuffer - 1) m_sDeviceIDDir.resize(kPathBuffer - 1);
  return m_sDeviceIDDir;
}
