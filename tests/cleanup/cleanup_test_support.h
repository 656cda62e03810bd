// Shared set-up of the cleanup tests: a fresh run state on a simulated PC,
// the run log as text and the shapes of its entries.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "log/run_log.h"
#include "support/log_entries.h"
#include "support/test_machine.h"

class CleanupTest : public ::testing::Test {
 protected:
  explicit CleanupTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);  // the log lands in the temporary directory from now on
    logPath_ = std::string(logDir) + "VtCvScrubber.log";
  }

  // The run log as the program wrote it, without the CRs of text mode.
  std::string Log() const {
    std::string log = tm.ReadFile(logPath_);
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }

  // Transcript lines that start with `prefix`.
  std::vector<std::string> TranscriptLines(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : tm.m.user.Lines())
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
  }

  TestMachine tm;

 private:
  std::string logPath_;
};
