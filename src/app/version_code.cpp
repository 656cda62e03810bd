#include "app/version_code.h"

#include <cstring>

#include "platform/win32.h"

int GetWindowsVersionCode() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = 148;
  if (GetVersionExA(&info) != 1) return -1;
  const DWORD major = info.dwMajorVersion;
  const DWORD minor = info.dwMinorVersion;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
    if (minor == 0) return 0;
    if (minor == 10) return 1;
    if (minor == 90) return 2;
  }
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    if (major == 4 && minor == 0) return 3;
    if (major == 5 && minor == 0) return 4;
    if (major == 5 && minor == 1) return 5;
  }
  return -1;
}
