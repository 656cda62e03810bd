// The state of one simulated PC. Windows calls reach the current Machine
// through one pointer set by ScopedMachine.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "sim/clipboard.h"
#include "sim/faults.h"
#include "sim/filesystem.h"
#include "sim/global_memory.h"
#include "sim/handles.h"
#include "sim/processes.h"
#include "sim/registry.h"
#include "sim/services.h"
#include "sim/system_info.h"
#include "sim/user.h"

namespace sim {

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  SystemInfo system;           // version, directories, computer name, user rights, clock
  Registry registry;           // all hives
  FileSystem files;            // drives/X/ on the host, drive types, flags, current directory
  HandleTable handles;         // open files, searches (registry keys live in `registry`)
  Faults faults;               // calls made to fail on purpose
  User user;                   // message boxes, dialogs, script and transcript
  GlobalMemory global_memory;  // GlobalAlloc's blocks
  Clipboard clipboard;         // what OpenClipboard … CloseClipboard act on

  // Service handles and pending changes (the services live in `json`).
  ServiceManager services;
  // What the program started (msiexec).
  Processes processes;

  DWORD last_error = 0;

  // The image folder this Machine was loaded from ("" when built in code).
  std::string image_dir;
  // machine.json as loaded; saved back with its key order kept. Subsystems
  // that keep their state in it (printers, services, restart …) change it
  // here; SaveImage writes it when it differs from `saved_json`.
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  nlohmann::ordered_json saved_json = nlohmann::ordered_json::object();
  // registry.reg as last loaded or saved, in the writer's form: a run whose
  // changes cancel out (a key made and removed again) leaves the file alone.
  std::string saved_registry;

  // Buffers FormatMessageA allocated for the caller; LocalFree releases them.
  std::set<void*> local_allocations;
  // Security identifiers AllocateAndInitializeSid handed out; FreeSid releases them.
  std::map<void*, std::unique_ptr<unsigned char[]>> sids;
  // Modules LoadLibraryA handed out: HMODULE value -> module name.
  std::map<uintptr_t, std::string> loaded_modules;

  // Sets `code_page` for the texts of this PC (sim/text.h is process-wide).
  void SetCodePage(unsigned codePage);
  unsigned code_page = 1252;
};

// A failing Windows call: sets the last error and returns `result`.
template <class T>
T Fail(Machine& m, DWORD error, T result) {
  m.last_error = error;
  return result;
}

// The Machine that Windows calls act on; nullptr outside a ScopedMachine.
Machine* Current();
Machine& CurrentOrDie();

class ScopedMachine {
 public:
  explicit ScopedMachine(Machine& m);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine* previous_;
};

// ExitProcess ends the program by unwinding to vtsim or the test with this.
struct ProcessExit {
  unsigned code;
};

// Functions of modules that LoadLibraryA knows ("SetupApi.dll" …), for
// GetProcAddress. Later subsystems register theirs (process-wide).
void RegisterModuleFunction(const std::string& module, const std::string& name, FARPROC fn);

}  // namespace sim
