// Starting and waiting for processes on the simulated PC (kernel32). Only
// the Windows Installer program, msiexec.exe of the system directory, can be
// started; waiting moves the simulated clock instead of sleeping.
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/processes.h"
#include "sim/transcript.h"

using sim::Fail;
using sim::Machine;

namespace {

// The program's name as CreateProcessA takes it from the command line: a
// quoted first word, or everything up to the first blank.
std::string FirstWord(const std::string& line, size_t* end) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::string word;
  if (i < line.size() && line[i] == '"') {
    size_t close = line.find('"', i + 1);
    word = line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    i = close == std::string::npos ? line.size() : close + 1;
  } else {
    size_t stop = line.find_first_of(" \t", i);
    if (stop == std::string::npos) stop = line.size();
    word = line.substr(i, stop - i);
    i = stop;
  }
  *end = i;
  return word;
}

// 0 when `module` names msiexec.exe of the system directory as Windows
// would find it, else the error CreateProcessA gives. Without an
// application name Windows adds ".exe" and searches, among others, the
// system directory; an application name is taken as written, relative to
// the current directory.
DWORD ResolveInstaller(Machine& m, const std::string& module, bool applicationName) {
  const size_t slash = module.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? module : module.substr(slash + 1);
  const std::string dir = slash == std::string::npos ? "" : module.substr(0, slash + 1);
  if (!applicationName && name.find('.') == std::string::npos) name += ".exe";
  const std::string* system = m.system.Directory("system");
  bool installer = sim::EqualNoCase(name, "msiexec.exe") && system;
  if (installer && (!dir.empty() || applicationName)) {
    std::string where = m.files.current_dir;
    DWORD error = 0;
    if (!dir.empty() && !m.files.FullPath(dir, &where, &error)) return ERROR_PATH_NOT_FOUND;
    while (where.size() > 3 && (where.back() == '\\' || where.back() == '/')) where.pop_back();
    std::string systemDir = *system;
    while (systemDir.size() > 3 && systemDir.back() == '\\') systemDir.pop_back();
    installer = sim::EqualNoCase(where, systemDir);
  }
  if (installer) return 0;
  const sim::PathLookup p = m.files.Lookup(module);
  return !p.error && !p.parent_exists ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
}

// The process behind a process or thread handle, or nullptr.
std::shared_ptr<sim::Process> Waitable(Machine& m, HANDLE h) {
  sim::HandleObject* o = m.handles.Get(h);
  if (auto* p = dynamic_cast<sim::ProcessObject*>(o)) return p->process;
  if (auto* t = dynamic_cast<sim::ThreadObject*>(o)) return t->process;
  return nullptr;
}

}  // namespace

BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES /*lpProcessAttributes*/,
                           LPSECURITY_ATTRIBUTES /*lpThreadAttributes*/, BOOL /*bInheritHandles*/,
                           DWORD /*dwCreationFlags*/, LPVOID /*lpEnvironment*/,
                           LPCSTR /*lpCurrentDirectory*/, LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation) {
  Machine& m = sim::CurrentOrDie();
  m.processes.Settle(m);
  const std::string line = lpCommandLine ? lpCommandLine : "";
  size_t argsAt = 0;
  const std::string first = FirstWord(line, &argsAt);
  const bool hasApplication = lpApplicationName && *lpApplicationName;
  const std::string module = hasApplication ? lpApplicationName : first;
  const std::string shown = lpCommandLine ? line : module;
  auto failed = [&](DWORD error) {
    m.user.Write("process", sim::EscapeText(shown) + " -> failed " + std::to_string(error));
    return Fail(m, error, FALSE);
  };
  if (DWORD e = m.faults.Check("CreateProcessA", module)) return failed(e);
  if (!lpStartupInfo || !lpProcessInformation) return Fail(m, ERROR_NOACCESS, FALSE);
  if (module.empty()) return failed(hasApplication ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (DWORD e = ResolveInstaller(m, module, hasApplication)) return failed(e);

  // With an application name the command line's first word is the
  // program's own name as it sees it; the arguments follow it either way.
  const std::string arguments = lpCommandLine ? line.substr(argsAt) : "";
  std::shared_ptr<sim::Process> p = m.processes.StartInstaller(m, shown, arguments);
  const DWORD number = static_cast<DWORD>(m.processes.All().size());
  lpProcessInformation->hProcess = m.handles.Add(std::make_unique<sim::ProcessObject>(p));
  lpProcessInformation->hThread = m.handles.Add(std::make_unique<sim::ThreadObject>(p));
  lpProcessInformation->dwProcessId = 0x600 + 8 * number;
  lpProcessInformation->dwThreadId = 0x604 + 8 * number;
  m.last_error = ERROR_SUCCESS;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("WaitForSingleObject")) return Fail(m, e, WAIT_FAILED);
  std::shared_ptr<sim::Process> p = Waitable(m, hHandle);
  if (!p) return Fail(m, ERROR_INVALID_HANDLE, WAIT_FAILED);
  m.processes.Settle(m);
  if (!p->ended) {
    const uint64_t remaining = p->ends_at_ms - m.system.elapsed_ms;
    if (dwMilliseconds != INFINITE && dwMilliseconds < remaining) {
      m.system.AdvanceClock(dwMilliseconds);
      m.processes.Settle(m);
      sim::Processes::Report(m, *p, "timeout");
      return WAIT_TIMEOUT;
    }
    m.system.AdvanceClock(remaining);
    m.processes.Settle(m);
  }
  sim::Processes::Report(m, *p, std::to_string(p->exit_code));
  return WAIT_OBJECT_0;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetExitCodeProcess")) return Fail(m, e, FALSE);
  auto* o = m.handles.GetAs<sim::ProcessObject>(hProcess);
  if (!o) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!lpExitCode) return Fail(m, ERROR_NOACCESS, FALSE);
  m.processes.Settle(m);
  if (!o->process->ended) {
    *lpExitCode = STILL_ACTIVE;
  } else {
    *lpExitCode = o->process->exit_code;
    sim::Processes::Report(m, *o->process, std::to_string(o->process->exit_code));
  }
  return TRUE;
}

// Milliseconds since Windows started: an hour before the program, plus the
// simulated time since.
DWORD WINAPI GetTickCount() {
  Machine& m = sim::CurrentOrDie();
  return static_cast<DWORD>(3600000 + m.system.elapsed_ms);
}
