// A simulated PC for the file remover and its erase batch, with the run log
// and the batch as text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "support/test_machine.h"

constexpr char kRunOncePath[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class FilesTest : public ::testing::Test {
 protected:
  explicit FilesTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    tm.m.registry.Create(kRunOncePath);
    char logDir[260];
    GetRunLogDir(logDir);
    logPath_ = std::string(logDir) + "VtCvScrubber.log";
  }

  std::string Temp() const { return *tm.m.system.Directory("temp"); }
  std::string BatchPath() const { return Temp() + "EraseVtc.bat"; }
  // The batch as written, CR LF and all.
  std::string Batch() const { return tm.ReadFile(BatchPath()); }
  std::string Log() const {
    std::string log = tm.ReadFile(logPath_);
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  bool LogHas(const std::string& part) const { return Log().find(part) != std::string::npos; }
  size_t LogCount(const std::string& part) const {
    const std::string log = Log();
    size_t n = 0;
    for (size_t at = log.find(part); at != std::string::npos; at = log.find(part, at + 1)) ++n;
    return n;
  }
  // HKLM RunOnce "EraseVtc" without the zero Windows stores after it.
  std::string RunOnceData() const {
    const sim::RegValue* v = tm.m.registry.GetValue(kRunOncePath, "EraseVtc");
    if (v == nullptr) return "<none>";
    std::string data(v->data());
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
  }

  TestMachine tm;
  // Where the log went at the start (a test may move the temporary directory).
  std::string logPath_;
};

// The header every batch starts with (CR LF line ends).
inline std::string BatchHeader() {
  return "ECHO OFF\r\nREM ZI VeD forced uninstaller.\r\nREM Copyright (C) 2003 Vantrel "
         "Corporation. All rights reserved.\r\nREM \r\nREM This program attempts to delete VT "
         "files at bootup time that\r\nREM could not be erased previously.  Once this batch file "
         "runs\r\nREM after bootup, this file can safely be erased.\r\nREM " +
         std::string(60, '*') + "\r\nECHO ON\r\n";
}

// The block that ends a batch for Windows 95, 98 and ME.
inline std::string BatchClosing() {
  const std::string stars(71, '*');
  return "Echo OFF\r\nEcho. " + stars +
         "\r\nEcho. \r\nEcho. \r\nEcho. Please close this DOS window to continue restarting the "
         "PC.\r\nEcho. \r\n Echo. \r\nEcho " +
         stars + "\r\nEcho. \r\nECHO ON\r\n";
}
