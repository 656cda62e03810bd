// System information, error texts, the last error, modules and shell folders:
// what Windows answers, per family where it differs.
#include <cstring>
#include <string>

#include "conformance/conformance.h"

namespace {

using conformance::NtFamily;

bool WindowsFourZero() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwMajorVersion == 4 && info.dwMinorVersion == 0;
}

std::string ComputerName() {
  char name[64] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

// Day of the week (0 = Sunday) of a Gregorian date.
int DayOfWeek(int y, int m, int d) {
  static const int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + kOffset[m - 1] + d) % 7;
}

const DWORD kFromSystem = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
const DWORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

}  // namespace

// GetVersionExA

CONFORMANCE_CASE(system, GetVersionExA_RightSizeFillsTheVersion) {
  OSVERSIONINFOA info;
  std::memset(&info, 0xCC, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetVersionExA(&info), TRUE);
  CHECK_ERROR(0xdeadbeef);
  CHECK_EQ(info.dwPlatformId, NtFamily() ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS);
  CHECK_TRUE(info.dwMajorVersion == 4 || info.dwMajorVersion == 5);
  CHECK_TRUE(std::memchr(info.szCSDVersion, 0, sizeof info.szCSDVersion) != nullptr);
  // Windows 9x keeps major and minor version in the build number's high word.
  if (!NtFamily())
    CHECK_EQ(info.dwBuildNumber >> 16, info.dwMajorVersion << 8 | info.dwMinorVersion);
  else
    CHECK_TRUE(info.dwBuildNumber > 1000 && info.dwBuildNumber < 0x10000);
}

CONFORMANCE_CASE(system, GetVersionExA_WrongSizeFails) {
  if (!NtFamily())
    WINE_DIFFERS(
        "Windows 9x fails a wrong size without setting a last error, Wine sets 122; "
        "dlls/kernel32/tests/version.c test_GetVersionEx");
  const DWORD sizes[] = {0, sizeof(OSVERSIONINFOA) / 2, sizeof(OSVERSIONINFOA) * 2};
  for (DWORD size : sizes) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = size;
    SetLastError(0xdeadbeef);
    CHECK_EQ(GetVersionExA(&info), FALSE);
    CHECK_ERROR(NtFamily() ? static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER) : 0xdeadbeef);
  }
}

CONFORMANCE_CASE(system, GetVersionExA_ExtendedSizeOnNtOnly) {
  if (!NtFamily())
    WINE_DIFFERS(
        "Windows 9x knows no OSVERSIONINFOEXA (GetVersionEx's documentation), Wine "
        "fills it in every mode");
  union {
    OSVERSIONINFOA info;
    BYTE ex[156];  // OSVERSIONINFOEXA
  } v;
  std::memset(&v, 0, sizeof v);
  v.info.dwOSVersionInfoSize = sizeof v.ex;
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetVersionExA(&v.info), NtFamily() ? TRUE : FALSE);
  CHECK_ERROR(0xdeadbeef);
  // wProductType: VER_NT_WORKSTATION on a desktop NT.
  if (NtFamily()) CHECK_EQ(v.ex[154], 1);
}

// GetSystemDirectoryA, GetWindowsDirectoryA

CONFORMANCE_CASE(system, GetSystemDirectoryA_ShortBufferGivesTheSizeUntouched) {
  const UINT needed = GetSystemDirectoryA(nullptr, 0);
  CHECK_TRUE(needed > 3 && needed <= MAX_PATH);
  char buf[MAX_PATH] = "foo";
  CHECK_EQ(GetSystemDirectoryA(buf, 1), needed);
  CHECK_STR(buf, "foo");
  CHECK_EQ(GetSystemDirectoryA(buf, needed - 1), needed);
  CHECK_STR(buf, "foo");
}

CONFORMANCE_CASE(system, GetSystemDirectoryA_FitsGivesTheLength) {
  const UINT needed = GetSystemDirectoryA(nullptr, 0);
  char buf[MAX_PATH] = "foo";
  CHECK_EQ(GetSystemDirectoryA(buf, needed), needed - 1);
  CHECK_EQ(std::strlen(buf), needed - 1);
  CHECK_TRUE(buf[1] == ':' && buf[2] == '\\');
  CHECK_EQ(GetFileAttributesA(buf) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
}

CONFORMANCE_CASE(system, GetWindowsDirectoryA_ShortBufferGivesTheSizeUntouched) {
  const UINT needed = GetWindowsDirectoryA(nullptr, 0);
  CHECK_TRUE(needed > 3 && needed <= MAX_PATH);
  char buf[MAX_PATH] = "foo";
  CHECK_EQ(GetWindowsDirectoryA(buf, needed - 1), needed);
  CHECK_STR(buf, "foo");
}

CONFORMANCE_CASE(system, GetWindowsDirectoryA_HoldsTheSystemDirectory) {
  char windows[MAX_PATH] = {};
  char system[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryA(windows, sizeof windows);
  CHECK_EQ(n, std::strlen(windows));
  CHECK_TRUE(n > 0 && windows[n - 1] != '\\');
  CHECK_TRUE(GetSystemDirectoryA(system, sizeof system) > n);
  CHECK_EQ(lstrcmpiA(std::string(system, n).c_str(), windows), 0);
  CHECK_EQ(system[n], '\\');
}

// GetComputerNameA

CONFORMANCE_CASE(system, GetComputerNameA_FitsGivesTheLength) {
  char name[64];
  DWORD size = sizeof name;
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetComputerNameA(name, &size), TRUE);
  CHECK_EQ(size, std::strlen(name));
  CHECK_TRUE(size > 0 && size <= 15);  // MAX_COMPUTERNAME_LENGTH
}

CONFORMANCE_CASE(system, GetComputerNameA_ShortBufferGives111) {
  const std::string name = ComputerName();
  CHECK_TRUE(!name.empty());
  char buf[64] = "xyz";
  DWORD size = static_cast<DWORD>(name.size());  // no room for the zero
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetComputerNameA(buf, &size), FALSE);
  CHECK_ERROR(111);  // ERROR_BUFFER_OVERFLOW
  // The size needed, zero included (XP may leave it: dlls/kernel32/tests/environ.c).
  CHECK_TRUE(size == name.size() + 1 || size == name.size());
  size = 0;
  CHECK_EQ(GetComputerNameA(buf, &size), FALSE);
  CHECK_ERROR(111);
}

// GetLocalTime

CONFORMANCE_CASE(system, GetLocalTime_GivesAValidDateAndWeekday) {
  SYSTEMTIME t;
  std::memset(&t, 0xCC, sizeof t);
  GetLocalTime(&t);
  CHECK_TRUE(t.wYear >= 1601 && t.wYear <= 30827);
  CHECK_TRUE(t.wMonth >= 1 && t.wMonth <= 12);
  CHECK_TRUE(t.wDay >= 1 && t.wDay <= 31);
  CHECK_TRUE(t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000);
  CHECK_EQ(t.wDayOfWeek, DayOfWeek(t.wYear, t.wMonth, t.wDay));
}

// FormatMessageA

CONFORMANCE_CASE(system, FormatMessageA_TextOfCode2) {
  WINE_DIFFERS(
      "Wine words system messages its own way (\"File not found.\"); "
      "wine-notes.md, measured on this project");
  char buf[256] = {};
  const DWORD n = FormatMessageA(kFromSystem, nullptr, 2, kNeutral, buf, sizeof buf, nullptr);
  CHECK_STR(buf, "The system cannot find the file specified.\r\n");
  CHECK_EQ(n, std::strlen(buf));
}

CONFORMANCE_CASE(system, FormatMessageA_TextOfCode5) {
  WINE_DIFFERS("Wine words system messages its own way; wine-notes.md, measured on this project");
  char buf[256] = {};
  CHECK_EQ(FormatMessageA(kFromSystem, nullptr, 5, kNeutral, buf, sizeof buf, nullptr), 19u);
  CHECK_STR(buf, "Access is denied.\r\n");
}

CONFORMANCE_CASE(system, FormatMessageA_TextEndsInCrLf) {
  const DWORD codes[] = {0, 2, 3, 5, 32, 122, 1060};
  for (DWORD code : codes) {
    char buf[512] = {};
    const DWORD n = FormatMessageA(kFromSystem, nullptr, code, kNeutral, buf, sizeof buf, nullptr);
    CHECK_TRUE(n > 2);
    CHECK_EQ(n, std::strlen(buf));
    CHECK_STR(buf + (n > 2 ? n - 2 : 0), "\r\n");
  }
}

CONFORMANCE_CASE(system, FormatMessageA_UnknownCodeGives317) {
  char buf[64] = "xyz";
  SetLastError(0xdeadbeef);
  // Bit 29 marks application codes: the system table never has one.
  CHECK_EQ(FormatMessageA(kFromSystem, nullptr, 0x20000001, kNeutral, buf, sizeof buf, nullptr),
           0u);
  CHECK_ERROR(317);  // ERROR_MR_MID_NOT_FOUND
}

CONFORMANCE_CASE(system, FormatMessageA_ShortBufferGives122Untouched) {
  char buf[5] = {'x', 'x', 'x', 'x', 'x'};
  SetLastError(0xdeadbeef);
  CHECK_EQ(FormatMessageA(kFromSystem, nullptr, 2, kNeutral, buf, sizeof buf, nullptr), 0u);
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  CHECK_EQ(std::memcmp(buf, "xxxxx", 5), 0);
}

CONFORMANCE_CASE(system, FormatMessageA_AllocateBufferGivesLocalMemory) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(kFromSystem | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 3, kNeutral,
                                 reinterpret_cast<LPSTR>(&text), 0, nullptr);
  CHECK_TRUE(text != nullptr);
  if (!text) return;
  CHECK_EQ(n, std::strlen(text));
  char copy[512] = {};
  CHECK_EQ(FormatMessageA(kFromSystem, nullptr, 3, kNeutral, copy, sizeof copy, nullptr), n);
  CHECK_STR(text, copy);
  CHECK_TRUE(LocalFree(text) == nullptr);
}

CONFORMANCE_CASE(system, FormatMessageA_FromStringIgnoringInsertsKeepsThem) {
  char buf[64] = {};
  CHECK_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, "a %1 b %%",
                          0, 0, buf, sizeof buf, nullptr),
           9u);
  CHECK_STR(buf, "a %1 b %%");
}

// LocalFree

CONFORMANCE_CASE(system, LocalFree_NullGivesNull) { CHECK_TRUE(LocalFree(nullptr) == nullptr); }

// GetLastError, SetLastError

CONFORMANCE_CASE(system, SetLastError_GetLastErrorGivesItBack) {
  SetLastError(12345);
  CHECK_EQ(GetLastError(), 12345u);
  SetLastError(0);
  CHECK_EQ(GetLastError(), 0u);
}

CONFORMANCE_CASE(system, GetLastError_KeptBySucceedingCalls) {
  SetLastError(0xdeadbeef);
  char buf[MAX_PATH];
  CHECK_TRUE(GetWindowsDirectoryA(buf, sizeof buf) > 0);
  CHECK_ERROR(0xdeadbeef);
}

// LoadLibraryA, GetProcAddress, FreeLibrary

// Windows 9x names the missing file ERROR_DLL_NOT_FOUND, as Wine's loader
// models it for 9x versions (kernel32 LoadLibraryExA).
const DWORD kDllNotFound = 1157;

CONFORMANCE_CASE(system, LoadLibraryA_MissingModuleFails) {
  SetLastError(0xdeadbeef);
  CHECK_TRUE(LoadLibraryA("cvsnosuchmodule.dll") == nullptr);
  CHECK_ERROR(NtFamily() ? static_cast<DWORD>(ERROR_MOD_NOT_FOUND) : kDllNotFound);
}

CONFORMANCE_CASE(system, LoadLibraryA_SystemModuleLoads) {
  const char* const names[] = {"kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll"};
  for (const char* name : names) {
    HMODULE module = LoadLibraryA(name);
    CHECK_TRUE(module != nullptr);
    if (module) CHECK_EQ(FreeLibrary(module), TRUE);
  }
}

CONFORMANCE_CASE(system, GetProcAddress_MissingFunctionGives127) {
  HMODULE module = LoadLibraryA("kernel32.dll");
  CHECK_TRUE(module != nullptr);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GetProcAddress(module, "CvsNoSuchFunction") == nullptr);
  CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  if (module) FreeLibrary(module);
}

CONFORMANCE_CASE(system, GetProcAddress_FindsAKernelCall) {
  HMODULE module = LoadLibraryA("kernel32.dll");
  FARPROC fn = GetProcAddress(module, "GetVersionExA");
  CHECK_TRUE(fn != nullptr);
  // Names are case-sensitive.
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GetProcAddress(module, "getversionexa") == nullptr);
  CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  if (module) FreeLibrary(module);
}

CONFORMANCE_CASE(system, GetModuleHandleA_FindsOnlyLoadedModules) {
  // The program's own imports are in the process from its start; the same
  // handle comes back from a load.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  CHECK_TRUE(kernel != nullptr);
  CHECK_TRUE(GetModuleHandleA("KERNEL32") == kernel);
  HMODULE loaded = LoadLibraryA("kernel32.dll");
  CHECK_TRUE(loaded == kernel);
  if (loaded) FreeLibrary(loaded);
  CHECK_TRUE(GetModuleHandleA(nullptr) != nullptr);  // the program's own image
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GetModuleHandleA("cvsnosuchmodule.dll") == nullptr);
  CHECK_ERROR(ERROR_MOD_NOT_FOUND);
}

CONFORMANCE_CASE(system, GetProcAddress_DiskFreeSpaceExFromOsr2On) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  SetLastError(0xdeadbeef);
  FARPROC fn = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  // The first Windows 95 (build 950) has no such function; OSR2 (1111) on do.
  if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && v.dwMinorVersion == 0 &&
      (v.dwBuildNumber & 0xFFFF) < 1111) {
    CHECK_TRUE(fn == nullptr);
    CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  } else {
    CHECK_TRUE(fn != nullptr);
  }
}

CONFORMANCE_CASE(system, FreeLibrary_EachLoadIsFreed) {
  HMODULE first = LoadLibraryA("user32.dll");
  HMODULE second = LoadLibraryA("USER32");
  CHECK_TRUE(first != nullptr);
  CHECK_TRUE(first == second);  // one module, counted twice
  CHECK_EQ(FreeLibrary(first), TRUE);
  CHECK_EQ(FreeLibrary(second), TRUE);
}

// The later shell (shell32 4.71, shlwapi) ships with every version after 95
// and NT 4; there it is an optional update, so both answers are possible.
CONFORMANCE_CASE(system, GetProcAddress_ShellFolderCallWithTheLaterShell) {
  HMODULE shell = LoadLibraryA("shell32.dll");
  CHECK_TRUE(shell != nullptr);
  SetLastError(0xdeadbeef);
  FARPROC fn = GetProcAddress(shell, "SHGetSpecialFolderPathA");
  if (!WindowsFourZero())
    CHECK_TRUE(fn != nullptr);
  else if (!fn)
    CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  if (shell) FreeLibrary(shell);
}

CONFORMANCE_CASE(system, LoadLibraryA_ShlwapiWithTheLaterShell) {
  SetLastError(0xdeadbeef);
  HMODULE module = LoadLibraryA("shlwapi.dll");
  if (!WindowsFourZero()) CHECK_TRUE(module != nullptr);
  if (module) {
    CHECK_TRUE(GetProcAddress(module, "SHDeleteKeyA") != nullptr);
    FreeLibrary(module);
  } else {
    CHECK_ERROR(NtFamily() ? static_cast<DWORD>(ERROR_MOD_NOT_FOUND) : kDllNotFound);
  }
}

// SHGetSpecialFolderPathA

namespace {

// A 95 or NT 4 PC without the later shell has no SHGetSpecialFolderPathA: a
// program reaches it through GetProcAddress and falls back on 127, which the
// simulated PC answers to a direct call (this program could not load there).
bool NoShellFolderCall() {
  HMODULE shell = LoadLibraryA("shell32.dll");
  const bool missing = !GetProcAddress(shell, "SHGetSpecialFolderPathA");
  if (shell) FreeLibrary(shell);
  if (missing) {
    char path[MAX_PATH] = {};
    SetLastError(0xdeadbeef);
    CHECK_EQ(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE), FALSE);
    CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  }
  return missing;
}

}  // namespace

CONFORMANCE_CASE(system, SHGetSpecialFolderPathA_DesktopIsAFolder) {
  if (NoShellFolderCall()) return;
  char path[MAX_PATH] = {};
  CHECK_EQ(SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, TRUE), TRUE);
  CHECK_TRUE(path[1] == ':' && path[2] == '\\');
  const DWORD attributes = GetFileAttributesA(path);
  CHECK_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

CONFORMANCE_CASE(system, SHGetSpecialFolderPathA_ProgramsIsUnderTheStartMenu) {
  if (NoShellFolderCall()) return;
  char path[MAX_PATH] = {};
  CHECK_EQ(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE), TRUE);
  const std::string p = path;
  CHECK_TRUE(p.size() > 9);
  if (p.size() > 9) CHECK_EQ(lstrcmpiA(p.substr(p.size() - 9).c_str(), "\\Programs"), 0);
}

CONFORMANCE_CASE(system, SHGetSpecialFolderPathA_CommonDesktopOnNtOnly) {
  if (!NtFamily())
    WINE_DIFFERS(
        "Wine answers the folders shared by all users on 9x as well (its newer layout); "
        "wine-notes.md, measured on this project");
  if (NoShellFolderCall()) return;
  char path[MAX_PATH] = {};
  CHECK_EQ(SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE),
           NtFamily() ? TRUE : FALSE);
}
