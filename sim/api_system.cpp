// System information, error texts, modules, process end and code page texts.
#include <cstring>
#include <map>

#include "platform/win32.h"
#include "sim/devices.h"
#include "sim/machine.h"
#include "sim/restore_points.h"
#include "sim/system_messages.h"
#include "sim/text.h"
#include "sim/word_sort.h"

using sim::Fail;
using sim::Machine;

namespace {

UINT CopyDirectory(Machine& m, const char* name, LPSTR buffer, UINT size) {
  const std::string* dir = m.system.Directory(name);
  if (!dir) return Fail(m, ERROR_FILE_NOT_FOUND, UINT(0));
  if (buffer && size > dir->size()) {
    std::memcpy(buffer, dir->c_str(), dir->size() + 1);
    return static_cast<UINT>(dir->size());
  }
  return static_cast<UINT>(dir->size() + 1);
}

using FunctionTable = std::map<std::string, std::map<std::string, FARPROC>, sim::LessNoCase>;

// Module file name: the last name of a path, ".DLL" added when it has no extension.
std::string ModuleName(const std::string& given) {
  size_t slash = given.find_last_of("\\/");
  std::string name = slash == std::string::npos ? given : given.substr(slash + 1);
  if (name.find('.') == std::string::npos) name += ".DLL";
  return name;
}

const char* const kKnownModules[] = {"RICHED32.DLL", "RICHED20.DLL", "SetupApi.dll", "KERNEL32.DLL",
                                     "USER32.DLL",   "ADVAPI32.DLL", "SHELL32.DLL",  "SHLWAPI.DLL"};

// Functions of the later shell (shell32 4.71, shlwapi): missing on a PC without it.
bool IsLaterShellModule(const std::string& module) {
  return sim::EqualNoCase(module, "SHLWAPI.DLL");
}
bool IsLaterShellFunction(const std::string& module, const char* name) {
  return IsLaterShellModule(module) || (sim::EqualNoCase(module, "SHELL32.DLL") &&
                                        std::strcmp(name, "SHGetSpecialFolderPathA") == 0);
}

template <class F>
FARPROC AsFarProc(F* fn) {
  // Through void(*)(), the one cast between function types GCC takes silently.
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

// The calls of win32.h that GetProcAddress finds in the system's own modules.
FunctionTable& Functions() {
  static FunctionTable table = {
      {"KERNEL32.DLL",
       {{"GetVersionExA", AsFarProc(&GetVersionExA)},
        {"GetComputerNameA", AsFarProc(&GetComputerNameA)},
        {"GetSystemDirectoryA", AsFarProc(&GetSystemDirectoryA)},
        {"GetWindowsDirectoryA", AsFarProc(&GetWindowsDirectoryA)},
        {"FormatMessageA", AsFarProc(&FormatMessageA)},
        {"LoadLibraryA", AsFarProc(&LoadLibraryA)},
        {"GetProcAddress", AsFarProc(&GetProcAddress)},
        {"GetModuleHandleA", AsFarProc(&GetModuleHandleA)},
        {"GetDiskFreeSpaceExA", AsFarProc(&GetDiskFreeSpaceExA)},
        {"lstrcmpiA", AsFarProc(&lstrcmpiA)}}},
      {"USER32.DLL",
       {{"CharUpperA", AsFarProc(&CharUpperA)},
        {"CharLowerA", AsFarProc(&CharLowerA)},
        {"FindWindowA", AsFarProc(&FindWindowA)},
        {"MessageBoxA", AsFarProc(&MessageBoxA)}}},
      {"ADVAPI32.DLL",
       {{"RegOpenKeyExA", AsFarProc(&RegOpenKeyExA)},
        {"RegDeleteKeyA", AsFarProc(&RegDeleteKeyA)}}},
      {"SHELL32.DLL",
       {{"SHGetSpecialFolderPathA", AsFarProc(&SHGetSpecialFolderPathA)},
        {"SHFileOperationA", AsFarProc(&SHFileOperationA)}}},
      {"SHLWAPI.DLL", {{"SHDeleteKeyA", AsFarProc(&SHDeleteKeyA)}}},
      {"SETUPAPI.DLL",
       {{"SetupDiGetClassDevsA", AsFarProc(&SetupDiGetClassDevsA)},
        {"SetupDiEnumDeviceInfo", AsFarProc(&SetupDiEnumDeviceInfo)},
        {"SetupDiGetDeviceRegistryPropertyA", AsFarProc(&SetupDiGetDeviceRegistryPropertyA)},
        {"SetupDiCallClassInstaller", AsFarProc(&SetupDiCallClassInstaller)},
        {"SetupDiDestroyDeviceInfoList", AsFarProc(&SetupDiDestroyDeviceInfoList)}}},
      {"SRCLIENT.DLL", {{"SRSetRestorePointA", AsFarProc(&SRSetRestorePointA)}}},
  };
  return table;
}

}  // namespace

namespace sim {
void RegisterModuleFunction(const std::string& module, const std::string& name, FARPROC fn) {
  Functions()[ModuleName(module)][name] = fn;
}
}  // namespace sim

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetVersionExA")) return Fail(m, e, FALSE);
  if (!lpVersionInformation) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
  const DWORD kExSize = 156;  // OSVERSIONINFOEXA, known to the NT family only
  if (size != sizeof(OSVERSIONINFOA) && !(size == kExSize && m.system.NtFamily())) {
    // Windows 9x refuses a wrong size without setting a last error.
    if (!m.system.NtFamily()) return FALSE;
    return Fail(m, ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  const sim::WindowsVersion& v = m.system.version;
  lpVersionInformation->dwMajorVersion = v.major;
  lpVersionInformation->dwMinorVersion = v.minor;
  lpVersionInformation->dwBuildNumber = v.build;
  lpVersionInformation->dwPlatformId = v.platform;
  std::memset(lpVersionInformation->szCSDVersion, 0, sizeof lpVersionInformation->szCSDVersion);
  std::strncpy(lpVersionInformation->szCSDVersion, v.csd.c_str(),
               sizeof lpVersionInformation->szCSDVersion - 1);
  if (size == kExSize) {
    // wServicePackMajor, wServicePackMinor, wSuiteMask, wProductType, wReserved
    BYTE extra[8] = {0, 0, 0, 0, 0, 0, 1 /*VER_NT_WORKSTATION*/, 0};
    const char* digits = std::strpbrk(v.csd.c_str(), "0123456789");
    if (v.csd.rfind("Service Pack", 0) == 0 && digits) extra[0] = static_cast<BYTE>(*digits - '0');
    std::memcpy(reinterpret_cast<BYTE*>(lpVersionInformation) + sizeof(OSVERSIONINFOA), extra,
                sizeof extra);
  }
  return TRUE;
}

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetSystemDirectoryA")) return Fail(m, e, UINT(0));
  return CopyDirectory(m, "system", lpBuffer, uSize);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetWindowsDirectoryA")) return Fail(m, e, UINT(0));
  return CopyDirectory(m, "windows", lpBuffer, uSize);
}

BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetComputerNameA")) return Fail(m, e, FALSE);
  if (!nSize) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  const std::string& name = m.system.computer_name;
  if (!lpBuffer || *nSize < name.size() + 1) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    return Fail(m, 111 /*ERROR_BUFFER_OVERFLOW*/, FALSE);
  }
  std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  Machine& m = sim::CurrentOrDie();
  if (lpSystemTime) *lpSystemTime = m.system.LocalTime();
}

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list* Arguments) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("FormatMessageA")) return Fail(m, e, DWORD(0));
  std::string text;
  if (dwFlags & FORMAT_MESSAGE_FROM_STRING) {
    if (!lpSource) return Fail(m, ERROR_INVALID_PARAMETER, DWORD(0));
    text = static_cast<const char*>(lpSource);
  } else if (dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) {
    // The system table is English only: neutral, user default or US English.
    if (dwLanguageId != 0 && dwLanguageId != 0x0400 && dwLanguageId != 0x0409)
      return Fail(m, 15100 /*ERROR_RESOURCE_LANG_NOT_FOUND*/, DWORD(0));
    const char* found = sim::SystemMessage(dwMessageId);
    if (!found) return Fail(m, 317 /*ERROR_MR_MID_NOT_FOUND*/, DWORD(0));
    text = found;
  } else {
    return Fail(m, ERROR_INVALID_PARAMETER, DWORD(0));
  }
  if (!(dwFlags & FORMAT_MESSAGE_IGNORE_INSERTS)) {
    // Inserts %1 … %99 take string arguments in order of their number.
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
        unsigned n = static_cast<unsigned>(text[++i] - '0');
        if (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9')
          n = n * 10 + static_cast<unsigned>(text[++i] - '0');
        if (!Arguments) return Fail(m, ERROR_INVALID_PARAMETER, DWORD(0));
        va_list copy;
        va_copy(copy, *Arguments);
        const char* arg = nullptr;
        for (unsigned k = 0; k < n; ++k) arg = va_arg(copy, const char*);
        va_end(copy);
        out += arg ? arg : "";
      } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
        out += '%';
        ++i;
      } else {
        out += text[i];
      }
    }
    text = out;
  }
  if (!lpBuffer) return Fail(m, ERROR_INVALID_PARAMETER, DWORD(0));
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    size_t bytes = text.size() + 1 > nSize ? text.size() + 1 : nSize;
    char* p = new char[bytes];
    std::memcpy(p, text.c_str(), text.size() + 1);
    m.local_allocations.insert(p);
    *reinterpret_cast<LPSTR*>(lpBuffer) = p;
    return static_cast<DWORD>(text.size());
  }
  if (nSize < text.size() + 1) return Fail(m, ERROR_INSUFFICIENT_BUFFER, DWORD(0));
  std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  Machine& m = sim::CurrentOrDie();
  if (!hMem) return nullptr;
  auto it = m.local_allocations.find(hMem);
  if (it == m.local_allocations.end()) return Fail(m, ERROR_INVALID_HANDLE, hMem);
  delete[] static_cast<char*>(hMem);
  m.local_allocations.erase(it);
  return nullptr;
}

DWORD WINAPI GetLastError() { return sim::CurrentOrDie().last_error; }

void WINAPI SetLastError(DWORD dwErrCode) { sim::CurrentOrDie().last_error = dwErrCode; }

BOOL WINAPI SHGetSpecialFolderPathA(HWND, LPSTR pszPath, int csidl, BOOL fCreate) {
  Machine& m = sim::CurrentOrDie();
  static const std::map<int, const char*> kFolders = {
      {0x0000, "desktop"},        {0x0002, "programs"},          {0x0005, "personal"},
      {0x0006, "favorites"},      {0x0007, "startup"},           {0x0008, "recent"},
      {0x0009, "sendto"},         {0x000B, "start_menu"},        {0x0010, "desktop"},
      {0x0014, "fonts"},          {0x0016, "common_start_menu"}, {0x0017, "common_programs"},
      {0x0018, "common_startup"}, {0x0019, "common_desktop"},    {0x001A, "appdata"},
      {0x001C, "local_appdata"},  {0x0023, "common_appdata"},    {0x0024, "windows"},
      {0x0025, "system"},         {0x0026, "program_files"},
  };
  // Shell32 before 4.71 has no such function: a direct call stands for the
  // program's fallback when GetProcAddress finds none, which sees 127.
  if (!m.system.HasLaterShell()) return Fail(m, ERROR_PROC_NOT_FOUND, FALSE);
  auto it = kFolders.find(csidl & 0xFF);
  if (it == kFolders.end()) return FALSE;
  const std::string name = it->second;
  const std::string* dir = m.system.Directory(name);
  if (DWORD e = m.faults.Check("SHGetSpecialFolderPathA", dir ? *dir : "", "", name))
    return Fail(m, e, FALSE);
  if (!pszPath) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  // A folder the image gives as null, and on Windows 9x the folders shared by
  // all users (it has none), are not found.
  if (!dir || (!m.system.NtFamily() && name.rfind("common_", 0) == 0)) {
    return Fail(m, ERROR_FILE_NOT_FOUND, FALSE);
  }
  std::strncpy(pszPath, dir->c_str(), MAX_PATH - 1);
  pszPath[MAX_PATH - 1] = '\0';
  if (fCreate) {
    sim::PathLookup p = m.files.Lookup(*dir);
    if (!p.exists && !p.host.empty()) m.files.Host().MakeFolders(p.host);
  }
  return TRUE;
}

namespace {

// The handle value of a known module (the same for every load), or 0 for a
// module the PC does not have.
uintptr_t KnownModuleValue(const std::string& name) {
  uintptr_t index = 0;
  for (const char* k : kKnownModules) {
    ++index;
    if (sim::EqualNoCase(name, k)) return 0x10000000 + index * 0x100000;
  }
  for (const auto& mod : Functions()) {
    ++index;
    if (sim::EqualNoCase(mod.first, name)) return 0x10000000 + index * 0x100000;
  }
  return 0;
}

// Modules every process of the program has from its start: the ones its
// image imports.
bool LoadedAtStart(const std::string& name) {
  for (const char* k : {"KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "SHELL32.DLL"}) {
    if (sim::EqualNoCase(name, k)) return true;
  }
  return false;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  Machine& m = sim::CurrentOrDie();
  const std::string given = lpLibFileName ? lpLibFileName : "";
  if (DWORD e = m.faults.Check("LoadLibraryA", given)) return Fail(m, e, HMODULE(nullptr));
  const std::string name = ModuleName(given);
  const uintptr_t value = given.empty() ? 0 : KnownModuleValue(name);
  if (!value || (IsLaterShellModule(name) && !m.system.HasLaterShell()) ||
      (sim::EqualNoCase(name, "SETUPAPI.DLL") && !sim::HasSetupApi(m)) ||
      (sim::EqualNoCase(name, "SRCLIENT.DLL") && !sim::HasSystemRestore(m))) {
    // Windows 9x reports a missing module as ERROR_DLL_NOT_FOUND.
    return Fail(m, m.system.NtFamily() ? ERROR_MOD_NOT_FOUND : 1157, HMODULE(nullptr));
  }
  m.loaded_modules[value] = name;
  return reinterpret_cast<HMODULE>(value);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  Machine& m = sim::CurrentOrDie();
  const std::string given = lpModuleName ? lpModuleName : "";
  if (DWORD e = m.faults.Check("GetModuleHandleA", given)) return Fail(m, e, HMODULE(nullptr));
  // No name: the program's own image.
  if (!lpModuleName) return reinterpret_cast<HMODULE>(uintptr_t{0x00400000});
  const std::string name = ModuleName(given);
  const uintptr_t value = KnownModuleValue(name);
  // Only a module already in the process is found; this call loads nothing.
  if (!value || !(LoadedAtStart(name) || m.loaded_modules.count(value)))
    return Fail(m, ERROR_MOD_NOT_FOUND, HMODULE(nullptr));
  m.loaded_modules[value] = name;  // so GetProcAddress knows the handle
  return reinterpret_cast<HMODULE>(value);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("FreeLibrary")) return Fail(m, e, FALSE);
  if (!m.loaded_modules.count(reinterpret_cast<uintptr_t>(hLibModule)))
    return Fail(m, ERROR_MOD_NOT_FOUND, FALSE);
  return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  Machine& m = sim::CurrentOrDie();
  // A name whose pointer value is below 0x10000 is an ordinal.
  const bool byName = reinterpret_cast<uintptr_t>(lpProcName) >= 0x10000;
  if (DWORD e = m.faults.Check("GetProcAddress", "", "", byName ? lpProcName : ""))
    return Fail(m, e, FARPROC(nullptr));
  auto mod = m.loaded_modules.find(reinterpret_cast<uintptr_t>(hModule));
  if (mod == m.loaded_modules.end()) return Fail(m, ERROR_MOD_NOT_FOUND, FARPROC(nullptr));
  if (!byName) return Fail(m, ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
  auto table = Functions().find(mod->second);
  if (table == Functions().end()) return Fail(m, ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
  auto fn = table->second.find(lpProcName);
  if (fn == table->second.end() ||
      (IsLaterShellFunction(mod->second, lpProcName) && !m.system.HasLaterShell()) ||
      (std::strcmp(lpProcName, "GetDiskFreeSpaceExA") == 0 && !m.system.HasDiskFreeSpaceEx()) ||
      (sim::EqualNoCase(mod->second, "SETUPAPI.DLL") && !sim::HasSetupApiFunction(m, lpProcName)))
    return Fail(m, ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
  return fn->second;
}

void WINAPI ExitProcess(UINT uExitCode) { throw sim::ProcessExit{uExitCode}; }

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
  if (!lpString1 || !lpString2) return lpString1 ? 1 : (lpString2 ? -1 : 0);
  int c = sim::CompareWordSortNoCase(lpString1, lpString2);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {

unsigned char FoldLower(unsigned char c) {
  static unsigned char table[256];
  static unsigned tableCodePage = 0;
  if (tableCodePage != sim::CodePage()) {
    for (unsigned i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
    for (unsigned i = 255; i > 0; --i) {
      unsigned char up = sim::FoldUpper(static_cast<unsigned char>(i));
      if (up != i) table[up] = static_cast<unsigned char>(i);
    }
    tableCodePage = sim::CodePage();
  }
  return table[c];
}

bool IsSingleCharacter(LPCSTR p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

}  // namespace

LPSTR WINAPI CharUpperA(LPSTR lpsz) {
  // A value below 0x10000 is one character, not a pointer.
  if (IsSingleCharacter(lpsz)) {
    auto c = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(lpsz) & 0xFF);
    return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(sim::FoldUpper(c)));
  }
  for (char* p = lpsz; *p; ++p)
    *p = static_cast<char>(sim::FoldUpper(static_cast<unsigned char>(*p)));
  return lpsz;
}

DWORD WINAPI CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  for (DWORD i = 0; i < cchLength; ++i)
    lpsz[i] = static_cast<char>(sim::FoldUpper(static_cast<unsigned char>(lpsz[i])));
  return cchLength;
}

LPSTR WINAPI CharLowerA(LPSTR lpsz) {
  if (IsSingleCharacter(lpsz)) {
    auto c = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(lpsz) & 0xFF);
    return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(FoldLower(c)));
  }
  for (char* p = lpsz; *p; ++p) *p = static_cast<char>(FoldLower(static_cast<unsigned char>(*p)));
  return lpsz;
}
