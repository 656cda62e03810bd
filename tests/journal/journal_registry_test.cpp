// The registry half of the undo journal: the REGEDIT4 entries, read back by
// the simulated regedit, and "no backup, no delete" in the removal steps.
#include "journal/journal_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "journal/undo_journal.h"
#include "log/run_log.h"
#include "registry/erase_reg_data.h"
#include "sim/batch_regedit.h"
#include "support/test_machine.h"

namespace {

const char kUndoReg[] = "C:\\WINDOWS\\TEMP\\VtUndo.001\\Undo.reg";
const char kScan[] = "HKLM\\SOFTWARE\\Vantrel\\Scan";
const char kShared[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kDll[] = "C:\\WINDOWS\\system32\\vtscan.dll";

std::string Z(const char* text, size_t n) { return std::string(text, n); }

// Every value type, in the form regedit writes it.
TEST(RegEditValueLine, WritesEachTypeAsRegeditDoes) {
  EXPECT_EQ(RegEditValueLine("Path", REG_SZ, Z("C:\\x\0", 5)), "\"Path\"=\"C:\\\\x\"\r\n");
  EXPECT_EQ(RegEditValueLine("", REG_SZ, Z("def\0", 4)), "@=\"def\"\r\n");
  EXPECT_EQ(RegEditValueLine("say \"hi\"\\", REG_SZ, Z("a\"b\0", 4)),
            "\"say \\\"hi\\\"\\\\\"=\"a\\\"b\"\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_DWORD, Z("\x78\x56\x34\x12", 4)), "\"n\"=dword:12345678\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_BINARY, Z("\x01\xff", 2)), "\"n\"=hex:01,ff\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_BINARY, ""), "\"n\"=hex:\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_EXPAND_SZ, Z("%A%\0", 4)), "\"n\"=hex(2):25,41,25,00\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_MULTI_SZ, Z("a\0b\0\0", 5)),
            "\"n\"=hex(7):61,00,62,00,00\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_NONE, Z("\0", 1)), "\"n\"=hex(0):00\r\n");
  EXPECT_EQ(RegEditValueLine("n", 0x100, "x"), "\"n\"=hex(100):78\r\n");
}

// What a quoted text would change is written as hex of its type instead.
TEST(RegEditValueLine, KeepsOddDataExactInHex) {
  EXPECT_EQ(RegEditValueLine("n", REG_SZ, "ab"), "\"n\"=hex(1):61,62\r\n");  // no terminator
  EXPECT_EQ(RegEditValueLine("n", REG_SZ, Z("a\0b\0", 4)), "\"n\"=hex(1):61,00,62,00\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_SZ, Z("a\r\nb\0", 5)), "\"n\"=hex(1):61,0d,0a,62,00\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_SZ, ""), "\"n\"=hex(1):\r\n");
  EXPECT_EQ(RegEditValueLine("n", REG_DWORD, Z("\x01\x02", 2)), "\"n\"=hex(4):01,02\r\n");
}

TEST(RegEditValueLine, WrapsLongHexWithContinuationLines) {
  const std::string line = RegEditValueLine("Data", REG_BINARY, std::string(100, '\x5a'));
  size_t from = 0;
  int lines = 0;
  for (size_t end; (end = line.find("\r\n", from)) != std::string::npos; from = end + 2) {
    const std::string one = line.substr(from, end - from);
    EXPECT_LE(one.size(), 80u) << one;
    if (lines > 0) {
      EXPECT_EQ(one.substr(0, 2), "  ");
    }
    ++lines;
  }
  EXPECT_GT(lines, 1);
  EXPECT_EQ(from, line.size());
}

TEST(RegEditKeyLine, NamesTheHiveAsRegeditDoes) {
  EXPECT_EQ(RegEditKeyLine(HKEY_LOCAL_MACHINE, "SOFTWARE\\V\\"),
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\V]\r\n");
  EXPECT_EQ(RegEditKeyLine(HKEY_CURRENT_USER, "A"), "[HKEY_CURRENT_USER\\A]\r\n");
  EXPECT_EQ(RegEditKeyLine(HKEY_CLASSES_ROOT, "A"), "[HKEY_CLASSES_ROOT\\A]\r\n");
  EXPECT_EQ(RegEditKeyLine(HKEY_USERS, "A"), "[HKEY_USERS\\A]\r\n");
  EXPECT_EQ(RegEditKeyLine(HKEY_CURRENT_CONFIG, "A"), "[HKEY_CURRENT_CONFIG\\A]\r\n");
}

// Every line the writer makes is read back by regedit to the same value.
TEST(RegEditValueLine, ReadsBackThroughRegeditToTheSameData) {
  struct Case {
    std::string name;
    DWORD type;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"text", REG_SZ, Z("C:\\a \"b\"\0", 10)},
      {"", REG_SZ, Z("default\0", 8)},
      {"q\"\\", REG_DWORD, Z("\1\0\0\0", 4)},
      {"bin", REG_BINARY, std::string(300, '\x80')},
      {"exp", REG_EXPAND_SZ, Z("%W%\0", 4)},
      {"multi", REG_MULTI_SZ, Z("a\0bc\0\0", 6)},
      {"none", REG_NONE, ""},
      {"raw", REG_SZ, "no end"},
      {"odd", 0x20, Z("\0\1", 2)},
  };
  TestMachine tm;
  std::string file = "REGEDIT4\r\n\r\n" + RegEditKeyLine(HKEY_LOCAL_MACHINE, "SOFTWARE\\T");
  for (const Case& c : cases) file += RegEditValueLine(c.name, c.type, c.data);
  std::vector<std::string> skipped;
  ASSERT_TRUE(sim::ImportRegedit4(file, tm.m.registry, &skipped));
  EXPECT_TRUE(skipped.empty()) << skipped.front();
  for (const Case& c : cases) {
    const sim::RegValue* v = tm.m.registry.GetValue("HKLM\\SOFTWARE\\T", c.name);
    ASSERT_NE(v, nullptr) << c.name;
    EXPECT_EQ(v->type, c.type) << c.name;
    EXPECT_EQ(std::string(v->data()), c.data) << c.name;
  }
}

// regedit leaves out a line it cannot read and goes on; values below a bad
// key line go with it; a file that is no REGEDIT4 file imports nothing.
TEST(ImportRegedit4, SkipsBadLinesAndGoesOn) {
  TestMachine tm;
  std::vector<std::string> skipped;
  ASSERT_TRUE(
      sim::ImportRegedit4("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
                          "\"bad\"=dword:123456789\r\n\"good\"=\"1\"\r\n"
                          "[HKEY_NOWHERE\\B]\r\n\"lost\"=\"1\"\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\C]\r\n\"hex\"=hex:01,\\\r\n"
                          "  02\r\n",
                          tm.m.registry, &skipped));
  EXPECT_EQ(tm.m.registry.GetValue("HKLM\\SOFTWARE\\A", "bad"), nullptr);
  EXPECT_NE(tm.m.registry.GetValue("HKLM\\SOFTWARE\\A", "good"), nullptr);
  ASSERT_NE(tm.m.registry.GetValue("HKLM\\SOFTWARE\\C", "hex"), nullptr);
  EXPECT_EQ(std::string(tm.m.registry.GetValue("HKLM\\SOFTWARE\\C", "hex")->data()), "\1\2");
  ASSERT_EQ(skipped.size(), 3u);
  EXPECT_EQ(skipped[0].substr(0, 8), "line 4: ");
  EXPECT_EQ(skipped[1].substr(0, 8), "line 6: ");
  EXPECT_EQ(skipped[2].substr(0, 8), "line 7: ");

  // A ";" in a value name is part of the name, not a comment that would hide
  // the backslash continuing its hex data.
  skipped.clear();
  ASSERT_TRUE(sim::ImportRegedit4(
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\E]\r\n\"a;b\"=hex:01,\\\r\n  02 ; note\r\n",
      tm.m.registry, &skipped));
  EXPECT_TRUE(skipped.empty()) << skipped.front();
  ASSERT_NE(tm.m.registry.GetValue("HKLM\\SOFTWARE\\E", "a;b"), nullptr);
  EXPECT_EQ(std::string(tm.m.registry.GetValue("HKLM\\SOFTWARE\\E", "a;b")->data()), "\1\2");

  // A line that is neither key nor value is named once escaped, and cut.
  skipped.clear();
  ASSERT_TRUE(sim::ImportRegedit4("REGEDIT4\r\nC:\\x\tz\r\n" + std::string(300, '\0') + "\r\n",
                                  tm.m.registry, &skipped));
  ASSERT_EQ(skipped.size(), 2u);
  EXPECT_EQ(skipped[0], "line 2: not a key or a value: C:\\\\x\\tz");
  EXPECT_EQ(skipped[1].substr(0, 34), "line 3: not a key or a value: \\x00");
  EXPECT_NE(skipped[1].find(" ... (330 bytes)"), std::string::npos) << skipped[1];

  skipped.clear();
  EXPECT_FALSE(
      sim::ImportRegedit4("[HKEY_LOCAL_MACHINE\\SOFTWARE\\D]\r\n", tm.m.registry, &skipped));
  EXPECT_EQ(tm.m.registry.Find("HKLM\\SOFTWARE\\D"), nullptr);
}

class JournalRegistryTest : public ::testing::Test {
 protected:
  JournalRegistryTest() {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);
  }
  ~JournalRegistryTest() override { g_UndoJournal.Reset(); }
  void Open() {
    ASSERT_TRUE(g_UndoJournal.Open());
    log0 = Log();
  }
  std::string Log() const {
    std::string log = tm.ReadFile(*tm.m.system.Directory("temp") + "VtCvScrubber.log");
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  // What the log got since the journal was opened.
  std::string NewLog() const { return Log().substr(log0.size()); }
  std::string UndoReg() const { return tm.ReadFile(kUndoReg); }

  TestMachine tm;
  std::string log0;
};

TEST_F(JournalRegistryTest, OffWritesNothingAndLetsEveryStepGoOn) {
  tm.m.registry.SetString(kScan, "x", "1");
  tm.AddKeyFault("RegOpenKeyExA", ERROR_ACCESS_DENIED, kScan);
  EXPECT_TRUE(JournalKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan"));
  EXPECT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan", "x"));
  EXPECT_EQ(Log(), "");
}

// The whole tree, parents first, under the names the keys have (the steps
// name them in lower case); the header once, at the top of the file.
TEST_F(JournalRegistryTest, KeyTreeWithItsValuesAndTheHeaderOnce) {
  tm.m.registry.SetString(kScan, "", "top");
  tm.m.registry.SetDword(std::string(kScan) + "\\Sub", "Count", 2);
  tm.m.registry.Create(std::string(kScan) + "\\Sub\\Empty");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel", "Other", "1");
  Open();
  ASSERT_TRUE(JournalKey(HKEY_LOCAL_MACHINE, "software\\vantrel\\scan"));
  ASSERT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\", "other"));
  EXPECT_EQ(UndoReg(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\software\\vantrel\\Scan]\r\n@=\"top\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\software\\vantrel\\Scan\\Sub]\r\n\"Count\"=dword:00000002\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\software\\vantrel\\Scan\\Sub\\Empty]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel]\r\n\"Other\"=\"1\"\r\n\r\n");
  EXPECT_EQ(NewLog(), "");
}

TEST_F(JournalRegistryTest, WhatIsAlreadyGoneNeedsNoBackup) {
  Open();
  EXPECT_TRUE(JournalKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Gone"));
  tm.m.registry.Create(kScan);
  EXPECT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan\\", "gone"));
  EXPECT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Gone\\", "gone"));
  EXPECT_EQ(UndoReg(), "");
  EXPECT_EQ(NewLog(), "");
}

// A key that cannot be read whole is kept by the removal step, which says why.
TEST_F(JournalRegistryTest, UnreadableSubkeyKeepsTheWholeKey) {
  tm.m.registry.SetString(std::string(kScan) + "\\Sub", "x", "1");
  Open();
  tm.AddKeyFault("RegEnumValueA", ERROR_ACCESS_DENIED, std::string(kScan) + "\\Sub");
  CEraseRegData eraser;
  EXPECT_FALSE(eraser.DeleteRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan", 5, "HKLM"));
  EXPECT_NE(tm.m.registry.Find(std::string(kScan) + "\\Sub"), nullptr);
  EXPECT_EQ(NewLog(),
            ">>> Not removed: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n\tIts backup could "
            "not be written to the undo journal. Error code = 5 \n");
  EXPECT_EQ(UndoReg(), "");
}

// The entry could not be written: no value deleted, no count lowered, and
// the shared file is kept with its count.
TEST_F(JournalRegistryTest, UnwritableJournalKeepsValuesAndCounts) {
  tm.m.registry.SetString(kScan, "Name", "v");
  tm.m.registry.SetDword(kShared, kDll, 2);
  Open();
  tm.AddFault("CreateFileA", ERROR_DISK_FULL, kUndoReg);
  CEraseRegData eraser;
  EXPECT_FALSE(eraser.DeleteRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan\\", "Name"));
  EXPECT_NE(tm.m.registry.GetValue(kScan, "Name"), nullptr);
  EXPECT_EQ(eraser.DecrementRegCounter(std::string("-") + kShared + "\\", kDll), -1);
  EXPECT_EQ(std::string(tm.m.registry.GetValue(kShared, kDll)->data()), Z("\2\0\0\0", 4));
  EXPECT_EQ(g_aSaveFiles, (CStringArray{kDll}));
  const std::string why =
      " \n\tIts backup could not be written to the undo journal. Error code = 112 \n";
  EXPECT_EQ(NewLog(), ">>> Not removed: HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\Scan\\name" + why +
                          ">>> Not removed: HKEY_LOCAL_MACHINE\\" + (kShared + 5) + "\\" + kDll +
                          why);
  EXPECT_FALSE(tm.Exists(kUndoReg));
}

// A lowered count is journalled with its old value, so the restore sets it back.
TEST_F(JournalRegistryTest, CounterIsJournalledBeforeItIsLowered) {
  tm.m.registry.SetDword(kShared, kDll, 3);
  Open();
  CEraseRegData eraser;
  EXPECT_EQ(eraser.DecrementRegCounter(std::string("-") + kShared + "\\", kDll), 2);
  EXPECT_EQ(UndoReg(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::string(kShared + 5) +
                "]\r\n\"C:\\\\WINDOWS\\\\system32\\\\vtscan.dll\"=dword:00000003\r\n\r\n");
  std::vector<std::string> skipped;
  ASSERT_TRUE(sim::ImportRegedit4(UndoReg(), tm.m.registry, &skipped));
  EXPECT_EQ(std::string(tm.m.registry.GetValue(kShared, kDll)->data()), Z("\3\0\0\0", 4));
}

// regedit applies the file from the top: an item backed up a second time
// would come back in its later state, so only its first backup is written.
TEST_F(JournalRegistryTest, FirstBackupOfAnItemIsTheOneRestored) {
  tm.m.registry.SetDword(kScan, "Count", 3);
  tm.m.registry.SetString(kScan, "Other", "o");
  Open();
  ASSERT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan", "Count"));
  tm.m.registry.SetDword(kScan, "Count", 2);
  ASSERT_TRUE(JournalValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan", "count"));
  ASSERT_TRUE(JournalKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan"));
  ASSERT_TRUE(JournalKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Scan"));
  EXPECT_EQ(UndoReg(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\Scan]\r\n"
            "\"Count\"=dword:00000003\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\Scan]\r\n\"Other\"=\"o\"\r\n\r\n");
  tm.m.registry.DeleteTree(kScan);
  std::vector<std::string> skipped;
  ASSERT_TRUE(sim::ImportRegedit4(UndoReg(), tm.m.registry, &skipped));
  EXPECT_EQ(std::string(tm.m.registry.GetValue(kScan, "Count")->data()), Z("\3\0\0\0", 4));
}

}  // namespace
