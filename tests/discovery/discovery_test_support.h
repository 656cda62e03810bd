// Shared set-up of the discovery tests: a fresh run state on a simulated PC.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/run_state.h"
#include "log/run_log.h"
#include "support/test_machine.h"

class DiscoveryTest : public ::testing::Test {
 protected:
  explicit DiscoveryTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);  // the log lands in the temporary directory from now on
  }
  void SetString(const std::string& key, const std::string& name, const std::string& value) {
    tm.m.registry.SetString("HKLM\\" + key, name, value);
  }
  // The run log as the program wrote it, without the CRs of text mode.
  std::string Log() const {
    std::string log = tm.ReadFile(LogPath());
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  std::string LogPath() const { return *tm.m.system.Directory("temp") + "VtCvScrubber.log"; }
  // Number of ">>> Origin: " entries in the run log.
  int LogEntries() const {
    const std::string log = Log();
    int n = 0;
    for (size_t p = log.find(">>> Origin: "); p != std::string::npos;
         p = log.find(">>> Origin: ", p + 1))
      ++n;
    return n;
  }

  TestMachine tm;
};
