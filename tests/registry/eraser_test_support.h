// A simulated PC for the registry list eraser, with its run log as text.
#pragma once

#include <algorithm>
#include <string>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "support/test_machine.h"

class EraserTest : public ::testing::Test {
 protected:
  explicit EraserTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);
  }

  // The list erased as the uninstall does it (XP's version code 5 by default).
  int Erase(const CStringArray& list, int versionCode = 5) {
    CRemoveSoftware remover;
    return remover.EraseRegList(list, versionCode);
  }
  bool Exists(const std::string& path) const { return tm.m.registry.Find(path) != nullptr; }
  bool HasValue(const std::string& path, const std::string& name) const {
    return tm.m.registry.GetValue(path, name) != nullptr;
  }
  std::string Data(const std::string& path, const std::string& name) const {
    const sim::RegValue* v = tm.m.registry.GetValue(path, name);
    return v == nullptr ? "<none>" : std::string(v->data());
  }
  std::string Log() const {
    std::string log = tm.ReadFile(*tm.m.system.Directory("temp") + "VtCvScrubber.log");
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  bool LogHas(const std::string& part) const { return Log().find(part) != std::string::npos; }

  TestMachine tm;
};
