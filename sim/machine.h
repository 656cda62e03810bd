// The state of one simulated PC. Windows calls reach the current Machine
// through one pointer set by ScopedMachine.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "sim/faults.h"
#include "sim/filesystem.h"
#include "sim/handles.h"
#include "sim/registry.h"
#include "sim/system_info.h"
#include "sim/user.h"

namespace sim {

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  SystemInfo system;    // version, code page, directories, drives, user rights, clock
  Registry registry;    // all hives
  FileSystem files;     // drives/X/ on the host, flags, current directory
  HandleTable handles;  // open keys, files, searches
  Faults faults;        // calls made to fail on purpose
  User user;            // message boxes, dialogs, script and transcript
  DWORD last_error = 0;

  // machine.json as loaded; saved back with its key order kept.
  nlohmann::ordered_json json;
};

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

}  // namespace sim
