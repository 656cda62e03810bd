// Shared set-up of the control-data tests: a simulated XP PC whose run log
// lands in C:\WINDOWS\TEMP\VtCvScrubber.log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/dat_list.h"
#include "config/device_tree_sink.h"
#include "log/error_reports.h"
#include "log/run_log.h"
#include "sim/transcript.h"
#include "support/test_machine.h"

class ConfigTest : public ::testing::Test {
 protected:
  static constexpr const char* kIni = "C:\\Scrubber\\VtCvScrubber.ini";
  static constexpr const char* kLog = "C:\\WINDOWS\\TEMP\\VtCvScrubber.log";

  void SetUp() override {
    ResetRunLogState();
    SetLogSwitch(nullptr);
    CListFromFile::ResetFirstRead();
    char dir[260];
    GetRunLogDir(dir);
  }
  void TearDown() override { ResetRunLogState(); }

  // The run log as the program wrote it, CR LF turned back into LF.
  std::string Log() const {
    std::string text = tm.ReadFile(kLog);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      out += text[i];
    }
    return out;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const std::string& line : tm.m.user.Lines())
      if (line.rfind("[box] ", 0) == 0) boxes.push_back(line);
    return boxes;
  }
  // The transcript line of an error box with caption string 121.
  static std::string ErrorBox(const std::string& text) {
    return "[box] VT Corvus/TRX Software Uninstaller - Message | " + sim::EscapeText(text) +
           " | OK | error -> OK";
  }
  // The LogNote entry of a missing key (string 119).
  static std::string MissingNote(const std::string& origin, const std::string& section,
                                 const std::string& key, const std::string& ini = kIni) {
    return ">>> Origin: " + origin + "\n\tINI Error: missing section [" + section + "] or Key \"" +
           key + "\",\nor the key is missing its value.\n\nINI file is \"" + ini + "\" \n\n";
  }

  TestMachine tm;
};

// Records the tree entries as "text" (top level) or "  text" (member).
class RecordingTree : public IDeviceTreeSink {
 public:
  TreeItem AddTreeEntry(const std::string& text, TreeItem parent) override {
    entries.push_back(parent == 0 ? text : "  " + text);
    return static_cast<TreeItem>(entries.size());
  }
  std::vector<std::string> entries;
};
