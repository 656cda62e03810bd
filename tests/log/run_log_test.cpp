// The run log on a simulated PC: entry forms, header and footer, the log
// switch, the open-failure box and failed writes.
#include "log/run_log.h"

#include <gtest/gtest.h>

#include "log/error_reports.h"
#include "sim/transcript.h"
#include "support/test_machine.h"

namespace {

const char kLogPath[] = "C:\\WINDOWS\\TEMP\\VtCvScrubber.log";
const char kCaption[] = "VT Corvus/TRX Software Uninstaller - Message";

class RunLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunLogState();
    SetLogSwitch(nullptr);
    char dir[260];
    GetRunLogDir(dir);
    ASSERT_STREQ(dir, "C:\\WINDOWS\\TEMP\\");
  }
  void TearDown() override {
    SetLogSwitch(nullptr);
    ResetRunLogState();
  }
  std::string Log() const { return tm.ReadFile(kLogPath); }
  std::string OpenFailureBox(int cause, const std::string& path) const {
    const std::string text = "Unable to open this application's log file.  Error: \"" +
                             std::to_string(cause) + "\"\n\nLog File: \"" + path + "\"";
    return "[box] " + sim::EscapeText(kCaption) + " | " + sim::EscapeText(text) +
           " | OK | none -> OK";
  }

  TestMachine tm;
};

TEST_F(RunLogTest, EntryFormsReachDiskInTextMode) {
  CRunLog().LogText("plain\n");
  CRunLog().LogNote("Origin A", "");
  CRunLog().LogNote("Origin B", "detail");
  CRunLog().LogError("X::Y() -- Z()", "no code", 0);
  const std::string system = SystemMessageText(5);
  ASSERT_FALSE(system.empty());
  CRunLog().LogError("X::Y() -- Z()", "sKey = 'a'", 5);

  // The system text keeps its own CR LF; text mode adds a CR before its LF.
  std::string systemOnDisk;
  for (char c : system) {
    if (c == '\n') systemOnDisk += '\r';
    systemOnDisk += c;
  }
  EXPECT_EQ(Log(),
            "plain\r\n"
            ">>> Origin: Origin A\r\n\t \r\n\r\n"
            ">>> Origin: Origin B\r\n\tdetail \r\n\r\n"
            ">>> Origin: X::Y() -- Z()\r\n\tno code \r\n"
            ">>> Origin: X::Y() -- Z()\r\n\tSystem message: " +
                systemOnDisk + " \r\n\tAdditional Information: sKey = 'a'\r\n\r\n");
}

TEST_F(RunLogTest, HeaderAndFooterTexts) {
  SYSTEMTIME t{};
  t.wYear = 2003;
  t.wMonth = 3;
  t.wDay = 5;
  t.wHour = 9;
  t.wMinute = 7;
  t.wSecond = 4;
  t.wMilliseconds = 21;
  const std::string stars(71, '*');
  EXPECT_EQ(RunLogHeader(t),
            stars + "\n**  VtCvScrubber.Log \t\t\t       3/5/2003 at 9:7:4.21\n" +
                "**  Copyright (C) 2003 Vantrel Corporation. All rights reserved.\n" + stars +
                "\n\n");
  EXPECT_EQ(RunLogFooter(), "\n" + stars + "\nEnd of VtCvScrubber.Log\n");

  // Entries are appended: an existing log is kept, never truncated.
  tm.AddFile(kLogPath, "earlier\r\n");
  CRunLog().LogText(RunLogFooter());
  EXPECT_EQ(Log(), "earlier\r\n\r\n" + stars + "\r\nEnd of VtCvScrubber.Log\r\n");
}

TEST_F(RunLogTest, SwitchOffMeansNoFileActivityAtAll) {
  int logFileOn = 0;
  SetLogSwitch(&logFileOn);
  tm.AddFault("CreateFileA", 5);  // any open would fail with a box
  CRunLog().LogText("off\n");
  CRunLog().LogError("o", "d", 5);
  EXPECT_FALSE(tm.Exists(kLogPath));
  EXPECT_TRUE(tm.m.user.Lines().empty());

  tm.m.faults.list.clear();
  logFileOn = 1;
  CRunLog().LogText("on\n");
  // A log object made while the switch was off writes nothing later on.
  logFileOn = 0;
  CRunLog quiet;
  logFileOn = 1;
  quiet.LogText("lost\n");
  EXPECT_EQ(Log(), "on\r\n");
}

TEST_F(RunLogTest, ReadOnlyLogShowsCauseFiveForEveryEntry) {
  tm.AddFile(kLogPath, "old run\r\n");
  tm.SetReadOnly(kLogPath);
  CRunLog().LogText("first\n");
  CRunLog().LogNote("o", "d");
  EXPECT_EQ(Log(), "old run\r\n");
  const std::string box = OpenFailureBox(5, kLogPath);
  int boxes = 0;
  for (const std::string& line : tm.m.user.Lines()) {
    if (line.rfind("[box]", 0) == 0) {
      EXPECT_EQ(line, box);
      ++boxes;
    }
  }
  EXPECT_EQ(boxes, 2);
}

TEST_F(RunLogTest, FailedWriteLosesOnlyThatEntry) {
  CRunLog().LogText("one\n");
  tm.AddFault("WriteFile", 112, "", 1);
  CRunLog().LogText("full disk\n");
  CRunLog().LogText("three\n");
  EXPECT_EQ(Log(), "one\r\nthree\r\n");
  EXPECT_TRUE(tm.m.user.Lines().empty());
}

TEST_F(RunLogTest, TempPathFailureLogsUnderTheBareFileName) {
  ResetRunLogState();
  tm.SetDirectoryNull("temp");
  char dir[260] = "junk";
  GetRunLogDir(dir);
  EXPECT_STREQ(dir, "");
  EXPECT_EQ(RunLogPath(), "VtCvScrubber.log");
  // The entry lands beside the program, in the current directory.
  const std::string log = tm.ReadFile("C:\\Scrubber\\VtCvScrubber.log");
  EXPECT_EQ(log.rfind(">>> Origin: CCvScrubberDlg::GetLogDir() -- GetTempPath()\r\n\tSystem "
                      "message: ",
                      0),
            0u)
      << log;
  EXPECT_NE(log.find("\tAdditional Information: szDirBuff = ''\r\n\r\n"), std::string::npos);
}

TEST(FileErrors, CauseTableAndSentences) {
  struct Case {
    DWORD os;
    int cause;
  };
  const Case cases[] = {{0, 0},    {1, 1},   {18, 2},   {267, 3},  {183, 5}, {145, 7},
                        {997, 10}, {32, 11}, {167, 12}, {112, 13}, {38, 14}, {87, 1}};
  for (const Case& c : cases) EXPECT_EQ(FileErrorCause(c.os), c.cause) << c.os;

  EXPECT_EQ(FileErrorDescription(5, "C:\\a.txt"), "Access to C:\\a.txt was denied.");
  EXPECT_EQ(FileErrorDescription(13, ""), "Disk full while accessing an unnamed file.");
  EXPECT_EQ(FileErrorDescription(0, "x"), "No error occurred.");
  EXPECT_EQ(FileErrorDescription(9, "x"), "Seek failed on x");
}

TEST(SystemErrors, BoxShowsSystemTextThenDetail) {
  TestMachine tm;
  ShowSystemError("Cap", 2, "detail");
  const std::string text = SystemMessageText(2) + "\n\ndetail";
  ASSERT_FALSE(tm.m.user.Lines().empty());
  EXPECT_EQ(tm.m.user.Lines().back(),
            "[box] Cap | " + sim::EscapeText(text) + " | OK | error -> OK");
  // A code the system has no text for still makes the box.
  EXPECT_EQ(SystemMessageText(0xDEAD), "");
}

}  // namespace
