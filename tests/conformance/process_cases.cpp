// Starting the Windows Installer program and waiting for it: the one
// program an uninstaller starts. A product code no PC knows lets the
// installer end at once (1605) without touching anything.
#include <cstring>
#include <string>

#include "conformance/conformance.h"

using namespace conformance;

namespace {

const char kUnknownProduct[] = "{5D1C0C1E-0000-4C5A-9C0F-00000000CAFE}";

std::string UninstallCommand() {
  return std::string("msiexec /x") + kUnknownProduct + " /qb! REBOOT=\"ReallySuppress\"";
}

// Starts a program as the uninstaller does: zeroed STARTUPINFOA of its size.
BOOL Start(const char* application, std::string line, PROCESS_INFORMATION* pi) {
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  std::memset(pi, 0, sizeof *pi);
  return CreateProcessA(application, line.empty() ? nullptr : &line[0], nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, pi);
}

// Waits for the process, checks its exit code and closes both handles.
void ExpectExit(PROCESS_INFORMATION& pi, DWORD expected) {
  CHECK_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 0xdeadbeef;
  CHECK_EQ(GetExitCodeProcess(pi.hProcess, &code), TRUE);
  CHECK_EQ(code, expected);
  // A finished process stays signalled.
  CHECK_EQ(WaitForSingleObject(pi.hThread, 0), WAIT_OBJECT_0);
  CHECK_EQ(CloseHandle(pi.hThread), TRUE);
  CHECK_EQ(CloseHandle(pi.hProcess), TRUE);
}

}  // namespace

// CreateProcessA

CONFORMANCE_CASE(process, CreateProcessA_InstallerOfUnknownProductExits1605) {
  PROCESS_INFORMATION pi;
  const DWORD before = GetTickCount();
  CHECK_EQ(Start(nullptr, UninstallCommand(), &pi), TRUE);
  CHECK_TRUE(pi.hProcess != nullptr && pi.hThread != nullptr);
  CHECK_TRUE(pi.dwProcessId != 0);
  if (pi.hProcess) ExpectExit(pi, ERROR_UNKNOWN_PRODUCT);
  CHECK_TRUE(GetTickCount() - before < 60000);
}

CONFORMANCE_CASE(process, CreateProcessA_InstallerAsApplicationName) {
  char system[MAX_PATH] = {};
  CHECK_TRUE(GetSystemDirectoryA(system, MAX_PATH) > 0);
  const std::string application = std::string(system) + "\\msiexec.exe";
  PROCESS_INFORMATION pi;
  CHECK_EQ(Start(application.c_str(), UninstallCommand(), &pi), TRUE);
  if (pi.hProcess) ExpectExit(pi, ERROR_UNKNOWN_PRODUCT);
}

CONFORMANCE_CASE(process, CreateProcessA_MissingProgramGives2) {
  PROCESS_INFORMATION pi;
  SetLastError(0xdeadbeef);
  CHECK_EQ(Start(nullptr, "cvs-no-such-program.exe /x", &pi), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  // An application name is taken as written: no ".exe" is added.
  SetLastError(0xdeadbeef);
  CHECK_EQ(Start("msiexec", UninstallCommand(), &pi), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
}

// WaitForSingleObject, GetExitCodeProcess

CONFORMANCE_CASE(process, WaitForSingleObject_NoHandleFails) {
  SetLastError(0xdeadbeef);
  CHECK_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

CONFORMANCE_CASE(process, GetExitCodeProcess_NoHandleFails) {
  DWORD code = 0;
  SetLastError(0xdeadbeef);
  CHECK_EQ(GetExitCodeProcess(nullptr, &code), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}
