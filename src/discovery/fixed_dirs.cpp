// The directories Windows itself names: system, Windows, desktop and the
// programs menus. Each is asked for once per finder and then cached.
#include <cstring>

#include "app/main_window.h"
#include "discovery/directories.h"
#include "discovery/finder_caches.h"
#include "log/run_log.h"
#include "platform/later_shell.h"

namespace {

// Fills out from a special folder; false (out empty) when Windows has none.
bool SpecialFolder(char* out, int csidl, DWORD* error) {
  char path[kPathBuffer] = {};
  const BOOL ok = LaterShellSpecialFolderPath(nullptr, path, csidl, FALSE);
  *error = GetLastError();
  path[kPathBuffer - 1] = '\0';
  if (!ok) {
    out[0] = '\0';
    return false;
  }
  CopyPath(out, path);
  return true;
}

void FromCacheOrFolder(char* out, char* cache, int csidl, const char* origin, const char* detail) {
  if (cache[0] != '\0') {
    CopyPath(out, cache);
    return;
  }
  DWORD error = 0;
  if (SpecialFolder(out, csidl, &error)) {
    CopyPath(cache, out);
    return;
  }
  CRunLog log;
  log.LogError(origin, detail, error);
}

// GetSystemDirectoryA and GetWindowsDirectoryA answer the length, or the size
// needed when the buffer is too small: only a length that fits is a path.
void FromCacheOrSystem(char* out, char* cache, UINT(WINAPI* call)(LPSTR, UINT),
                       const char* origin) {
  if (cache[0] != '\0') {
    CopyPath(out, cache);
    return;
  }
  char path[kPathBuffer] = {};
  const UINT length = call(path, kPathBuffer);
  if (length == 0 || length >= kPathBuffer) {
    out[0] = '\0';
    CRunLog log;
    log.LogNote(origin, "");
    return;
  }
  CopyPath(out, path);
  CopyPath(cache, path);
}

}  // namespace

bool IsNTFamily() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return false;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT || info.dwMajorVersion > 4;
}

void CFindAiOinReg::GetSystemDir(char* out) {
  FromCacheOrSystem(out, Caches().systemDir, GetSystemDirectoryA,
                    "CFindAiOinReg::GetSystemDir() -- GetSystemDirectory()");
}

void CFindAiOinReg::GetWindowsDir(char* out) {
  FromCacheOrSystem(out, Caches().windowsDir, GetWindowsDirectoryA,
                    "CFindAiOinReg::GetWindowsDir() -- GetWindowsDirectory()");
}

void CFindAiOinReg::GetDesktopDir(char* out) {
  // The NT family keeps the device software's shortcuts on the all-users desktop.
  FromCacheOrFolder(out, Caches().desktopDir,
                    IsNTFamily() ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY,
                    "CFindAiOinReg::GetDesktopDir() -- SHGetSpecialFolderPath()",
                    ">>> Unable to determine the current user's Desktop folder. \n");
}

void CFindAiOinReg::GetUserStartupDir(char* out) {
  FromCacheOrFolder(out, Caches().userProgramsDir, CSIDL_PROGRAMS,
                    "CFindAiOinReg::GetUserStartupDir() -- SHGetSpecialFolderPath()",
                    ">>> Unable to determine the current user's Startup folder. \n");
}

void CFindAiOinReg::GetStartupNameDir(char* out) {
  // Windows 9x has no folders shared by all users: the user's menu stands in.
  if (!IsNTFamily()) {
    if (Caches().commonProgramsDir[0] != '\0') {
      CopyPath(out, Caches().commonProgramsDir);
      return;
    }
    GetUserStartupDir(out);
    CopyPath(Caches().commonProgramsDir, out);
    return;
  }
  FromCacheOrFolder(out, Caches().commonProgramsDir, CSIDL_COMMON_PROGRAMS,
                    "CFindAiOinReg::GetStartupNameDir() -- SHGetSpecialFolderPath()",
                    ">>> Unable to determine the common Startup folder. \n");
}

void FillFixedDirectories(CCvScrubberDlg& dlg, CFindAiOinReg& finder) {
  char dir[kPathBuffer];
  finder.GetSystemDir(dir);
  dlg.DeviceDirectories[kDirSystem] = dir;
  finder.GetWindowsDir(dir);
  dlg.DeviceDirectories[kDirWindows] = dir;
  finder.GetStartupNameDir(dir);
  dlg.DeviceDirectories[kDirCommonPrograms] = dir;
  finder.GetUserStartupDir(dir);
  dlg.DeviceDirectories[kDirUserPrograms] = dir;
  finder.GetDesktopDir(dir);
  dlg.DeviceDirectories[kDirDesktop] = dir;
}
