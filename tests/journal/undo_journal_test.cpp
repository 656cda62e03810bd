// The undo journal's folder, its lists and the restore script it writes.
#include "journal/undo_journal.h"

#include <gtest/gtest.h>

#include "log/run_log.h"
#include "support/test_machine.h"

namespace {

const char kLogPath[] = "C:\\WINDOWS\\TEMP\\VtCvScrubber.log";
const char kFirst[] = "C:\\WINDOWS\\TEMP\\VtUndo.001";

class UndoJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunLogState();
    SetLogSwitch(nullptr);
    g_UndoJournal.Reset();
  }
  void TearDown() override {
    g_UndoJournal.Reset();
    ResetRunLogState();
  }
  std::string Log() const { return tm.ReadFile(kLogPath); }

  TestMachine tm;
};

TEST_F(UndoJournalTest, OffUntilOpenedAndWritesNothing) {
  EXPECT_FALSE(g_UndoJournal.IsOn());
  DWORD error = 0;
  EXPECT_FALSE(g_UndoJournal.Append(kJournalRegFile, "x", &error));
  EXPECT_TRUE(g_UndoJournal.RecordRemoved(JournalItem::kPrinter, "P"));
  g_UndoJournal.Close();
  EXPECT_FALSE(tm.Exists(kFirst));
  EXPECT_EQ(Log(), "");
}

TEST_F(UndoJournalTest, TakesTheFirstFreeNumberAndLogsIt) {
  tm.AddDir(kFirst);
  tm.AddFile("C:\\WINDOWS\\TEMP\\VtUndo.002");  // a file of that name counts as taken
  ASSERT_TRUE(g_UndoJournal.Open());
  EXPECT_EQ(g_UndoJournal.Folder(), "C:\\WINDOWS\\TEMP\\VtUndo.003");
  EXPECT_TRUE(tm.IsDir("C:\\WINDOWS\\TEMP\\VtUndo.003\\Files"));
  EXPECT_EQ(Log(), "Undo journal: C:\\WINDOWS\\TEMP\\VtUndo.003 \r\n");
  // The earlier journal is left as it was.
  EXPECT_FALSE(tm.Exists(std::string(kFirst) + "\\Files"));
}

TEST_F(UndoJournalTest, NoFolderMeansNoJournalAndSaysWhy) {
  tm.AddFault("CreateDirectoryA", 5);
  EXPECT_FALSE(g_UndoJournal.Open());
  EXPECT_FALSE(g_UndoJournal.IsOn());
  EXPECT_EQ(Log(),
            ">>> Unable to make an undo journal folder in 'C:\\WINDOWS\\TEMP\\'. Error code = 5 "
            "\r\n");
}

TEST_F(UndoJournalTest, ScriptPutsBackRegistryFoldersAndFilesInOrder) {
  ASSERT_TRUE(g_UndoJournal.Open());
  DWORD error = 1;
  ASSERT_TRUE(
      g_UndoJournal.Append(kJournalRegFile, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n", &error));
  EXPECT_EQ(error, 0u);
  // Removed deepest first.
  ASSERT_TRUE(g_UndoJournal.Append(kJournalFoldersList, "C:\\VT\\Sub\r\nC:\\VT\r\n", &error));
  const std::string copy1 = g_UndoJournal.NextCopyName();
  const std::string copy2 = g_UndoJournal.NextCopyName();
  EXPECT_EQ(copy1, "Files\\F000001");
  EXPECT_EQ(copy2, "Files\\F000002");
  ASSERT_TRUE(g_UndoJournal.Append(kJournalFilesList,
                                   "00000021\t" + copy1 + "\tC:\\VT\\Sub\\a.dll\r\n" +
                                       "00000006\t" + copy2 + "\tC:\\VT\\b b.txt\r\n",
                                   &error));
  EXPECT_TRUE(g_UndoJournal.RecordRemoved(JournalItem::kService, "VtSpool"));
  g_UndoJournal.Close();
  g_UndoJournal.Close();  // once only

  const std::string j = "C:\\WINDOWS\\TEMP\\VtUndo.001\\";
  EXPECT_EQ(tm.ReadFile(j + "Restore.bat"),
            "@echo off\r\n"
            "rem Puts back what the scrub removed, from the undo journal "
            "C:\\WINDOWS\\TEMP\\VtUndo.001\r\n"
            "regedit /s \"" +
                j +
                "Undo.reg\"\r\n"
                "md \"C:\\VT\"\r\n"
                "md \"C:\\VT\\Sub\"\r\n"
                "copy \"" +
                j +
                "Files\\F000001\" \"C:\\VT\\Sub\\a.dll\"\r\n"
                "attrib +R +A -S -H \"C:\\VT\\Sub\\a.dll\"\r\n"
                "copy \"" +
                j +
                "Files\\F000002\" \"C:\\VT\\b b.txt\"\r\n"
                "attrib -R -A +S +H \"C:\\VT\\b b.txt\"\r\n"
                "echo Not put back (printers, drivers, services, ...): see \"" +
                j + "Removed.txt\"\r\n");
  EXPECT_EQ(tm.ReadFile(j + "Removed.txt"), "service\tVtSpool\r\n");
  EXPECT_EQ(Log(),
            "Undo journal: C:\\WINDOWS\\TEMP\\VtUndo.001 \r\n"
            "\tThe restore script cannot put back service 'VtSpool' \r\n"
            "Undo journal complete. To put back what was removed, run " +
                j + "Restore.bat \r\n");
}

TEST_F(UndoJournalTest, EmptyJournalStillGetsAScript) {
  ASSERT_TRUE(g_UndoJournal.Open());
  g_UndoJournal.Close();
  EXPECT_EQ(tm.ReadFile("C:\\WINDOWS\\TEMP\\VtUndo.001\\Restore.bat"),
            "@echo off\r\nrem Puts back what the scrub removed, from the undo journal "
            "C:\\WINDOWS\\TEMP\\VtUndo.001\r\n");
}

TEST_F(UndoJournalTest, FailedWritesAreReportedNotHidden) {
  ASSERT_TRUE(g_UndoJournal.Open());
  const std::string j = "C:\\WINDOWS\\TEMP\\VtUndo.001\\";
  tm.AddFault("WriteFile", 112, j + "Undo.reg");
  tm.AddFault("CreateFileA", 5, j + "Removed.txt");
  tm.AddFault("CreateFileA", 32, j + "Restore.bat");
  DWORD error = 0;
  EXPECT_FALSE(g_UndoJournal.Append(kJournalRegFile, "REGEDIT4\r\n", &error));
  EXPECT_EQ(error, 112u);
  EXPECT_FALSE(g_UndoJournal.RecordRemoved(JournalItem::kPort, "VT1:"));
  g_UndoJournal.Close();
  EXPECT_EQ(Log(),
            "Undo journal: C:\\WINDOWS\\TEMP\\VtUndo.001 \r\n"
            ">>> Not removed: port 'VT1:' \r\n\tIts backup could not be written to the undo "
            "journal. Error code = 5 \r\n"
            ">>> Unable to write the restore script " +
                j + "Restore.bat. Error code = 32 \r\n");
}

TEST(RegQuoted, EscapesBackslashAndQuoteOnly) {
  EXPECT_EQ(RegQuoted("C:\\a \"b\"\t"), "\"C:\\\\a \\\"b\\\"\t\"");
  EXPECT_EQ(BatchQuoted("C:\\a b"), "\"C:\\a b\"");
}

}  // namespace
