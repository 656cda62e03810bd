// MsiPackageDelete: each installed package is removed by the system's own
// installer program, one at a time.
#include <cstring>

#include "journal/undo_journal.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr size_t kKeyBuffer = 256;
constexpr DWORD kTextBuffer = 260;
constexpr DWORD kRebootInitiated = 1641;
constexpr DWORD kRebootRequired = 3010;

// The package's display text: the value named after the code, else the code.
// False when the package is not installed.
bool ReadDisplayText(const std::string& code, std::string& display) {
  const std::string path = CutToBuffer(kUninstallKey + code, kKeyBuffer);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  char text[kTextBuffer + 1] = {};
  DWORD size = kTextBuffer;
  DWORD type = 0;
  if (RegQueryValueExA(key, code.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(text), &size) ==
      ERROR_SUCCESS) {
    display = text;
  } else {
    display = code;
  }
  RegCloseKey(key);
  return true;
}

// msiexec.exe of the system directory: named as the program to start, so a
// planted msiexec.exe beside this program or in the current directory is
// never run in its place.
bool InstallerPath(std::string& path) {
  char dir[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  path = dir;
  if (path.back() != '\\') path += '\\';
  path += "msiexec.exe";
  return true;
}

bool RemovedCleanly(DWORD exitCode) {
  return exitCode == ERROR_SUCCESS || exitCode == kRebootInitiated || exitCode == kRebootRequired;
}

void RemovePackage(const std::string& code, DWORD timeoutMs) {
  PnPProgress(FormatText(LoadStr(IDS_PNP_MSI_PROGRESS), code.c_str()));
  std::string display;
  if (!ReadDisplayText(code, display)) return;

  std::string commandLine =
      CutToBuffer("msiexec /x" + code + " /qb! REBOOT=\"ReallySuppress\"", kTextBuffer);
  std::string application;
  if (!InstallerPath(application)) {
    PnPLogError(
        "HandlePnP - MsiPackageDelete(): GetSystemDirectory()",
        FormatText(LoadStr(IDS_PNP_MSI_LAUNCH_FAILED), commandLine.c_str(), display.c_str()),
        GetLastError());
    return;
  }
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof(process));
  if (!g_UndoJournal.RecordRemoved(JournalItem::kPackage, code + " " + display)) return;
  if (!CreateProcessA(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    PnPLogError(
        "HandlePnP - MsiPackageDelete(): CreateProcess()",
        FormatText(LoadStr(IDS_PNP_MSI_LAUNCH_FAILED), commandLine.c_str(), display.c_str()),
        GetLastError());
    return;
  }

  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    // Only the installer's own success codes mean the package is gone.
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) {
      PnPLogError("HandlePnP - MsiPackageDelete(): GetExitCodeProcess()",
                  FormatText(LoadStr(IDS_PNP_MSI_FAILED), display.c_str()), GetLastError());
    } else if (RemovedCleanly(exitCode)) {
      PnPLogText(FormatText(LoadStr(IDS_PNP_MSI_REMOVED), code.c_str()));
    } else {
      PnPLogError("HandlePnP - MsiPackageDelete(): GetExitCodeProcess()",
                  FormatText(LoadStr(IDS_PNP_MSI_FAILED), display.c_str()), exitCode);
    }
  } else {
    // The installer is left running; the next package follows at once.
    PnPLogError("HandlePnP - MsiPackageDelete(): WaitForSingleObject()",
                LoadStr(IDS_PNP_MSI_TIMED_OUT), GetLastError());
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

}  // namespace

int MsiPackageDelete(const CStringArray& packageCodes, DWORD timeoutMs) {
  if (packageCodes.empty() || packageCodes[0].empty()) return 1;
  PnPLogText(LoadStr(IDS_PNP_MSI_BANNER));
  for (const std::string& code : packageCodes) RemovePackage(code, timeoutMs);
  return 1;
}
