// Calls made to fail on purpose, from machine.json "faults".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace sim {

struct Fault {
  std::string call;  // e.g. "DeleteFileA"
  std::string path;  // file/directory full path, or LoadLibraryA module ("" = any)
  std::string key;   // hive-rooted key path such as HKLM\SOFTWARE\X ("" = any)
  std::string name;  // value, printer, port, monitor, service or function name ("" = any)
  DWORD error = 0;
  int times = -1;  // calls left; -1 = always
};

// One faultable call as the program made it: how often, and the subjects of
// its first and latest call (so a test can aim a fault at either).
struct CallSeen {
  unsigned count = 0;
  std::string first_path, first_key, first_name;
  std::string last_path, last_key, last_name;
  // The first few distinct subjects, each as path, key and name.
  std::vector<std::vector<std::string>> distinct;
};

class Faults {
 public:
  std::vector<Fault> list;
  // Every call that asked Check while faults were enabled, by name.
  std::map<std::string, CallSeen> seen;
  bool enabled = true;  // off during "vtsim reboot"

  // The first fault for `call` whose given subjects match (case-insensitively)
  // and which has calls left applies: its count goes down and its error is
  // returned. 0 when no fault applies. Subjects not known to the caller are "".
  DWORD Check(const char* call, const std::string& path = "", const std::string& key = "",
              const std::string& name = "");
};

}  // namespace sim
