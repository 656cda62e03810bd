// Calls made to fail on purpose, from machine.json "faults".
#pragma once

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

class Faults {
 public:
  std::vector<Fault> list;
  bool enabled = true;  // off during "vtsim reboot"

  // The first fault for `call` whose given subjects match (case-insensitively)
  // and which has calls left applies: its count goes down and its error is
  // returned. 0 when no fault applies. Subjects not known to the caller are "".
  DWORD Check(const char* call, const std::string& path = "", const std::string& key = "",
              const std::string& name = "");
};

}  // namespace sim
