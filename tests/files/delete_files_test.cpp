// The pass over a files list on a simulated PC: what goes, what stays, what
// is put off to the next start, and the lines of the run log.
#include <string>

#include "files/files_test_support.h"

namespace {

const char kFaxDir[] = "C:\\Program Files\\Fax";
const char kA[] = "C:\\Program Files\\Fax\\a.dll";
const char kB[] = "C:\\Program Files\\Fax\\b.dll";
const char kBatchCreatedXp[] = "\n *** Batch file created in directory 'C:\\WINDOWS\\TEMP\\' \n\n";

class DeleteFilesTest : public FilesTest {
 protected:
  explicit DeleteFilesTest(const std::string& windows = "xp") : FilesTest(windows) {}
  int Delete(const CStringArray& list, int versionCode = 5) {
    CRemoveSoftware remover;
    return remover.DeleteFiles(list, versionCode);
  }
  std::string CurrentDir() const { return tm.m.files.current_dir; }
};

class DeleteFiles98Test : public DeleteFilesTest {
 protected:
  DeleteFiles98Test() : DeleteFilesTest("98") {}
};

TEST_F(DeleteFilesTest, EmptyListDoesNothingAtAll) {
  EXPECT_EQ(Delete({}), 0);
  EXPECT_EQ(Log(), "");
  EXPECT_FALSE(tm.Exists(BatchPath()));
  EXPECT_EQ(RunOnceData(), "<none>");
}

TEST_F(DeleteFilesTest, ListOfEmptyEntriesRegistersAnEmptyBatch) {
  EXPECT_EQ(Delete({"", ""}), 1);
  EXPECT_EQ(Batch(), BatchHeader());
  EXPECT_EQ(RunOnceData(), BatchPath());
  EXPECT_EQ(Log(), kBatchCreatedXp);
}

TEST_F(DeleteFilesTest, FilesAreDeletedAndLoggedMissingOnesQuietly) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  EXPECT_EQ(Delete({kA, "C:\\Program Files\\Fax\\gone.dll", "C:\\Nowhere\\x.dll"}), 1);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_EQ(Log(), std::string("==> Deleted file ") + kA + " \n" + kBatchCreatedXp);
}

TEST_F(DeleteFilesTest, KeptFilesStayWhateverTheCase) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  tm.AddFile(
      "C:\\Program Files\\Fax\\stra\xDF"
      "e.dll");
  tm.AddFile("C:\\Program Files\\Fax\\strasse.dll");
  g_aSaveFiles = {"c:\\program files\\FAX\\A.DLL",
                  "C:\\Program Files\\Fax\\stra\xDF"
                  "e.dll"};
  Delete({kA, kB, "C:\\Program Files\\Fax\\strasse.dll"});
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_FALSE(tm.Exists(kB));
  // Folded and compared byte for byte: "ß" is not "ss".
  EXPECT_FALSE(tm.Exists("C:\\Program Files\\Fax\\strasse.dll"));
  EXPECT_FALSE(LogHas("a.dll"));
}

// The pass looks kept files up in an index made when it starts: a later pass
// (or a check between passes) sees the list as it is then.
TEST_F(DeleteFilesTest, EachPassSeesTheKeptFilesAsTheyAreThen) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  CRemoveSoftware remover;
  g_aSaveFiles = {kA};
  remover.DeleteFiles({kA}, 5);
  EXPECT_TRUE(tm.Exists(kA));
  g_aSaveFiles = {kB};
  EXPECT_EQ(remover.IsSaveFile(kA), 0);
  EXPECT_EQ(remover.IsSaveFile("c:\\program files\\fax\\B.DLL"), 1);
  remover.DeleteFiles({kA, kB}, 5);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
}

TEST_F(DeleteFilesTest, ReadOnlyFileIsDeletedAfterItsAttributeIsCleared) {
  tm.AddFile(kA);
  tm.SetReadOnly(kA);
  Delete({kA});
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_EQ(Log(), kBatchCreatedXp);
}

TEST_F(DeleteFilesTest, LockedFilesGoIntoTheBatchWithoutALineOfTheirOwn) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  tm.SetInUse(kA);
  tm.AddFault("DeleteFileA", 33, kB, 1);
  EXPECT_EQ(Delete({kA, kB}), 1);
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_EQ(Batch(),
            BatchHeader() +
                "C:\r\nCD \"C:\\Program Files\\Fax\"\r\nDEL \"C:\\Program Files\\Fax\\a.dll\"\r\n"
                "C:\r\nCD \"C:\\Program Files\\Fax\"\r\nDEL \"C:\\Program Files\\Fax\\b.dll\"\r\n");
  EXPECT_EQ(Log(), kBatchCreatedXp);
  EXPECT_EQ(RunOnceData(), BatchPath());
}

TEST_F(DeleteFilesTest, UnexpectedErrorsAreLoggedAndThePassGoesOn) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  tm.SetReadOnly(kA);
  tm.AddFault("DeleteFileA", 21, kB, 1);
  // Attribute cleared, yet the second attempt fails.
  tm.AddFault("DeleteFileA", 5, kA, 2);
  Delete({kA, kB});
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_TRUE(
      LogHas(">>> Origin: CRemoveSoftware::DeleteFiles() -- DeleteFile(sFileName)\n"
             "\tSystem message: Access is denied.\n \n\tAdditional Information: Unable to "
             "remove file 'C:\\Program Files\\Fax\\a.dll' after changing the Read-only "
             "attribute. \n\n\n"));
  EXPECT_TRUE(LogHas("\tAdditional Information: sFileName = 'C:\\Program Files\\Fax\\b.dll'\n\n"));
  EXPECT_EQ(Batch(), BatchHeader());
}

TEST_F(DeleteFilesTest, AttributeThatCannotBeChangedIsNotedAndTheFileDeferred) {
  tm.AddFile(kA);
  tm.SetReadOnly(kA);
  tm.AddFault("SetFileAttributesA", 5, kA);
  Delete({kA});
  EXPECT_TRUE(
      LogHas(">>> Origin: CRemoveSoftware::RemoveReadOnlyAttrib() -- "
             "CFile::SetStatus(sFileName, fs)\n\tUnable to change file "
             "'C:\\Program Files\\Fax\\a.dll' from Read-Only to Normal.Access to an "
             "unnamed file was denied. \n\n"));
  EXPECT_TRUE(Batch().find("DEL \"C:\\Program Files\\Fax\\a.dll\"") != std::string::npos);
}

TEST_F(DeleteFilesTest, FailedBatchEndsThePassAtOnce) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  tm.SetInUse(kA);
  tm.m.files.drives['C'].free_bytes = 100;
  EXPECT_EQ(Delete({kA, kB}), 0);
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_EQ(RunOnceData(), "<none>");
}

TEST_F(DeleteFilesTest, UnsafePathsAreNeverActedOn) {
  tm.AddFile("C:\\x.dll");
  tm.AddFile("C:\\Scrubber\\x.dll");
  tm.SetCurrentDir("C:\\Scrubber");
  // "C:" and "\x" would reach the current directory, "C:\" the whole drive.
  Delete({"x.dll", ">", ">C:", ">C:\\", ">\\Scrubber", "C:x.dll", "\\x.dll", ">C:\\Scrubber\\.."});
  EXPECT_TRUE(tm.Exists("C:\\x.dll"));
  EXPECT_TRUE(tm.Exists("C:\\Scrubber\\x.dll"));
  EXPECT_EQ(LogCount(">>> Skipped unsafe path '"), 8u);
  EXPECT_TRUE(LogHas(">>> Skipped unsafe path '' \n>>> Skipped unsafe path 'C:' \n"));
}

TEST_F(DeleteFilesTest, SweptDirectoryWithALockedFileAndASubdirectory) {
  tm.AddFile(kA);
  tm.AddFile(kB);
  tm.AddFile("C:\\Program Files\\Fax\\Sub\\c.dll");
  tm.SetInUse(kB);
  tm.SetCurrentDir("C:\\Scrubber");
  EXPECT_EQ(Delete({std::string(">") + kFaxDir}), 1);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_TRUE(tm.Exists("C:\\Program Files\\Fax\\Sub\\c.dll"));
  EXPECT_EQ(CurrentDir(), "C:\\Scrubber");
  EXPECT_EQ(Log(), std::string("==> Deleted file C:\\Program Files\\Fax\\a.dll \n") +
                       kBatchCreatedXp +
                       "++> Delete file C:\\Program Files\\Fax\\b.dll from directory "
                       "C:\\Program Files\\Fax on reboot \n"
                       "++> Delete directory 'C:\\Program Files\\Fax' on reboot \n"
                       "++> Delete directory 'C:\\Program Files\\Fax' on reboot \n");
  // Files first, the directory last.
  EXPECT_EQ(Batch(),
            BatchHeader() +
                "C:\r\nCD \"C:\\Program Files\\Fax\"\r\nDEL \"C:\\Program Files\\Fax\\b.dll\"\r\n"
                "C:\r\nCD \\ \r\nRD \"C:\\Program Files\\Fax\"\r\n");
}

TEST_F(DeleteFilesTest, NtSchedulesAnEmptiedDirectoryInsteadOfRemovingIt) {
  tm.AddFile(kA);
  g_aSaveFiles = {"C:\\Program Files\\Fax\\KEEP.DLL"};
  tm.AddFile("C:\\Program Files\\Fax\\keep.dll");
  Delete({std::string(">") + kFaxDir + "\\"});
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists("C:\\Program Files\\Fax\\keep.dll"));
  EXPECT_TRUE(tm.IsDir(kFaxDir));
  EXPECT_EQ(Log(), std::string("==> Deleted file C:\\Program Files\\Fax\\\\a.dll \n") +
                       kBatchCreatedXp +
                       "++> Delete directory 'C:\\Program Files\\Fax\\' on reboot \n");
  EXPECT_EQ(Batch(), BatchHeader() + "C:\r\nCD \\ \r\nRD \"C:\\Program Files\\Fax\\\"\r\n");
}

class DeleteFilesNt4Test : public DeleteFilesTest {
 protected:
  DeleteFilesNt4Test() : DeleteFilesTest("nt4") {}
};

TEST_F(DeleteFilesNt4Test, NtFourSchedulesAnEmptiedDirectoryToo) {
  tm.AddFile(kA);
  Delete({std::string(">") + kFaxDir}, 3);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.IsDir(kFaxDir));
  EXPECT_EQ(Batch(), BatchHeader() + "C:\r\nCD \\ \r\nRD \"C:\\Program Files\\Fax\"\r\n");
}

TEST_F(DeleteFiles98Test, NinetyEightRemovesAnEmptiedDirectoryAtOnce) {
  tm.AddFile(kA);
  tm.AddFile("C:\\Other\\b.dll");
  tm.SetReadOnly("C:\\Other\\b.dll");
  tm.AddFile("C:\\Other\\Sub\\c.dll");
  tm.AddDir("C:\\Busy");
  tm.AddFault("RemoveDirectoryA", 32, "C:\\Busy");
  Delete({std::string(">") + kFaxDir, ">C:\\Other", ">C:\\Busy"}, 1);
  EXPECT_FALSE(tm.Exists(kFaxDir));
  // A read-only file goes without a line; the subdirectory and its parent
  // stay, and the parent (refused with 5) is scheduled all the same.
  EXPECT_FALSE(tm.Exists("C:\\Other\\b.dll"));
  EXPECT_TRUE(tm.Exists("C:\\Other\\Sub\\c.dll"));
  EXPECT_TRUE(tm.IsDir("C:\\Busy"));
  EXPECT_EQ(Log(),
            std::string("==> Deleted file C:\\Program Files\\Fax\\a.dll \n"
                        "--> Deleted directory: C:\\Program Files\\Fax \n"
                        ">>> Unable to delete directory 'C:\\Busy';\t Error number = 32 \n") +
                "\n *** Batch file created in directory 'C:\\WINDOWS\\TEMP\\' \n\n"
                "++> Delete directory 'C:\\Other' on reboot \n");
  EXPECT_EQ(Batch(), BatchHeader() + "C:\r\nCD \\ \r\nRD C:\\Other\r\n" + BatchClosing());
}

TEST_F(DeleteFilesTest, SweepsThatCannotStartChangeNothing) {
  tm.SetCurrentDir("C:\\Scrubber");
  tm.AddDir("C:\\Locked");
  tm.AddFault("SetCurrentDirectoryA", 5, "C:\\Locked");
  CRemoveSoftware remover;
  EXPECT_EQ(remover.DelFilesFromDir("C:\\Missing", 5), 0);
  EXPECT_EQ(remover.DelFilesFromDir("C:\\Missing\\Deeper", 5), 0);
  EXPECT_EQ(remover.DelFilesFromDir("C:\\Locked", 5), 0);
  tm.AddFault("GetCurrentDirectoryA", 8, "", 1);
  EXPECT_EQ(remover.DelFilesFromDir(kFaxDir, 5), 0);
  EXPECT_EQ(CurrentDir(), "C:\\Scrubber");
  EXPECT_TRUE(
      LogHas("* Not Found: C:\\Missing  ===> Windows code = 2 \n"
             "* Not Found: C:\\Missing\\Deeper  ===> Windows code = 3 \n"
             ">>> Unable to change to this directory:\n\t'C:\\Locked' \n\tError code = 5 \n"
             ">>> Origin: CRemoveSoftware::DelFilesFromDir() -- GetCurrentDirectory()\n"));
  EXPECT_TRUE(g_aRebootDirs.empty());
}

TEST_F(DeleteFilesTest, SweepOfTheTempDirectorySparesTheBatchAndTheLog) {
  tm.AddFile("C:\\WINDOWS\\TEMP\\old.tmp");
  tm.AddFile("C:\\WINDOWS\\TEMP\\busy.tmp");
  tm.SetInUse("C:\\WINDOWS\\TEMP\\busy.tmp");
  // An earlier batch still waiting for the restart.
  tm.AddFile(BatchPath(), "ECHO OFF\r\n");
  tm.m.registry.SetString(kRunOncePath, "EraseVtc", "c:\\windows\\temp\\ERASEVTC.BAT");
  Delete({">C:\\WINDOWS\\TEMP"});
  EXPECT_FALSE(tm.Exists("C:\\WINDOWS\\TEMP\\old.tmp"));
  EXPECT_TRUE(LogHas("==> Deleted file C:\\WINDOWS\\TEMP\\old.tmp \n"));
  EXPECT_FALSE(LogHas("VtCvScrubber.log"));
  EXPECT_EQ(Batch(),
            "ECHO OFF\r\nC:\r\nCD \"C:\\WINDOWS\\TEMP\"\r\nDEL \"C:\\WINDOWS\\TEMP\\busy.tmp\"\r\n"
            "C:\r\nCD \\ \r\nRD \"C:\\WINDOWS\\TEMP\"\r\n");
}

TEST_F(DeleteFilesTest, NothingIsLoggedAsScheduledWhenThereIsNoBatch) {
  tm.AddDrive('E', DRIVE_CDROM);
  tm.SetDirectory("temp", "E:\\TEMP\\");
  tm.AddFile(kA);
  tm.SetInUse(kA);
  EXPECT_EQ(Delete({std::string(">") + kFaxDir}), 1);
  EXPECT_FALSE(LogHas("++>"));
  EXPECT_EQ(LogCount("==> Error creating batch file EraseVtc.bat"), 2u);
  EXPECT_EQ(g_aRebootDirs, CStringArray{kFaxDir});
}

TEST_F(DeleteFilesTest, ASecondRunBeforeTheRestartKeepsTheFirstRunsEntries) {
  tm.AddFile(kA);
  tm.SetInUse(kA);
  Delete({kA});
  ResetAllRunState();
  char logDir[260];
  GetRunLogDir(logDir);
  tm.AddFile(kB);
  tm.SetInUse(kB);
  Delete({kB});
  EXPECT_EQ(Batch(),
            BatchHeader() +
                "C:\r\nCD \"C:\\Program Files\\Fax\"\r\nDEL \"C:\\Program Files\\Fax\\a.dll\"\r\n"
                "C:\r\nCD \"C:\\Program Files\\Fax\"\r\nDEL \"C:\\Program Files\\Fax\\b.dll\"\r\n");
  EXPECT_EQ(LogCount(kBatchCreatedXp), 2u);
}

}  // namespace
