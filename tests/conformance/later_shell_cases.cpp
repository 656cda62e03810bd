// The later shell's calls (shell32 4.71, shlwapi.dll), reached as the program
// reaches them: looked up by name at run time. Windows 95 and NT 4 have them
// only with Internet Explorer 4's desktop update; 98, ME, 2000 and XP ship
// with them. (The simulated PC's images say so with "later_shell".)
#include <string>

#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

namespace {

using conformance::MakeScratchKey;
using conformance::NtFamily;
using conformance::Scratch;
using conformance::ScratchKeyExists;

bool WindowsFourZero() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwMajorVersion == 4 && info.dwMinorVersion == 0;
}

const char kWineHasLaterShell[] =
    "Wine ships shell32 and shlwapi with every function in every Windows mode; Windows 95 "
    "and NT 4 without Internet Explorer 4 have shell32 4.00 and no shlwapi.dll";

}  // namespace

CONFORMANCE_CASE(system, LoadLibraryA_ShlwapiOnlyWithTheLaterShell) {
  if (WindowsFourZero()) WINE_DIFFERS(kWineHasLaterShell);
  SetLastError(0xdeadbeef);
  HMODULE lib = LoadLibraryA("shlwapi.dll");
  if (WindowsFourZero()) {
    CHECK_TRUE(lib == nullptr);
    CHECK_ERROR(NtFamily() ? 126 : 1157);
  } else {
    CHECK_TRUE(lib != nullptr);
  }
  if (lib) FreeLibrary(lib);
}

CONFORMANCE_CASE(system, GetProcAddress_SpecialFolderPathOnlyWithTheLaterShell) {
  if (WindowsFourZero()) WINE_DIFFERS(kWineHasLaterShell);
  // shell32 itself is on every version; only the function may be missing.
  HMODULE shell = LoadLibraryA("shell32.dll");
  CHECK_TRUE(shell != nullptr);
  if (!shell) return;
  SetLastError(0xdeadbeef);
  FARPROC fn = GetProcAddress(shell, "SHGetSpecialFolderPathA");
  if (WindowsFourZero()) {
    CHECK_TRUE(fn == nullptr);
    CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  } else {
    CHECK_TRUE(fn != nullptr);
  }
  // A 95-era shell function is there on every version.
  CHECK_TRUE(GetProcAddress(shell, "SHFileOperationA") != nullptr);
  FreeLibrary(shell);
}

CONFORMANCE_CASE(system, GetProcAddress_ShlwapiDeleteKeyTakesTheTree) {
  HMODULE lib = LoadLibraryA("shlwapi.dll");
  if (!lib) return;  // 95 and NT 4 without the later shell (case above)
  typedef DWORD(WINAPI * DeleteKeyFn)(HKEY, LPCSTR);
  const DeleteKeyFn deleteKey = reinterpret_cast<DeleteKeyFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(lib, "SHDeleteKeyA")));
  CHECK_TRUE(deleteKey != nullptr);
  // Shell names are not looked up in the wrong module.
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GetProcAddress(lib, "SHGetSpecialFolderPathA") == nullptr);
  CHECK_ERROR(ERROR_PROC_NOT_FOUND);
  if (deleteKey) {
    MakeScratchKey("tree\\a\\b");
    MakeScratchKey("tree\\c");
    CHECK_EQ(deleteKey(HKEY_CURRENT_USER, Scratch::Key("tree").c_str()), 0u);
    CHECK_TRUE(!ScratchKeyExists("tree"));
    CHECK_TRUE(ScratchKeyExists(""));
  }
  FreeLibrary(lib);
}
