// The files half of the undo journal in the file remover and the INF step:
// copies before deletes, original attributes, folders before their files,
// and "no backup, no delete".
#include "journal/journal_files.h"

#include <string>

#include "cleanup/inf_seek_and_destroy.h"
#include "files/files_test_support.h"
#include "journal/undo_journal.h"

namespace {

const char kDir[] = "C:\\Program Files\\Fax";
const char kA[] = "C:\\Program Files\\Fax\\a.dll";
const char kB[] = "C:\\Program Files\\Fax\\b.dll";
const char kJ[] = "C:\\WINDOWS\\TEMP\\VtUndo.001\\";

class JournalFilesTest : public FilesTest {
 protected:
  explicit JournalFilesTest(const std::string& windows = "xp") : FilesTest(windows) {}
  void TearDown() override { g_UndoJournal.Reset(); }
  void Open() { ASSERT_TRUE(g_UndoJournal.Open()); }
  int Delete(const CStringArray& list, int versionCode = 5) {
    CRemoveSoftware remover;
    return remover.DeleteFiles(list, versionCode);
  }
  std::string J(const std::string& name) const { return tm.ReadFile(kJ + name); }
  std::string NoBackup(const std::string& what, int code) const {
    return ">>> Not removed: " + what +
           " \n\tIts backup could not be written to the undo journal. Error code = " +
           std::to_string(code) + " \n";
  }
};

TEST_F(JournalFilesTest, OffMeansNoCopyNoListAndTheSameLog) {
  tm.AddFile(kA, "aaa");
  tm.SetInUse(kB);
  tm.AddFile(kB, "bbb");
  EXPECT_TRUE(JournalFile(kA));
  EXPECT_TRUE(JournalFolder(kDir));
  EXPECT_EQ(Delete({kA, kB}), 1);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_FALSE(tm.Exists("C:\\WINDOWS\\TEMP\\VtUndo.001"));
  // The locked file is put off to the next start as ever.
  EXPECT_NE(Batch().find("b.dll"), std::string::npos);
  EXPECT_FALSE(LogHas("undo journal"));
}

TEST_F(JournalFilesTest, DeletedFileIsCopiedWithItsContentFirst) {
  tm.AddFile(kA, std::string("MZ\0\x90", 4) + std::string(40000, 'x'));
  Open();
  EXPECT_EQ(Delete({kA}), 1);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_EQ(J("Files\\F000001"), std::string("MZ\0\x90", 4) + std::string(40000, 'x'));
  EXPECT_EQ(J("Files.txt"), std::string("00000020\tFiles\\F000001\t") + kA + "\r\n");
  EXPECT_TRUE(LogHas(std::string("==> Deleted file ") + kA));
}

TEST_F(JournalFilesTest, ListedUnderTheNameTheFolderStores) {
  // The steps may name a file in another case or with a doubled backslash;
  // the restore must give it back its own name.
  tm.AddFile("C:\\Program Files\\Fax\\oem3.pnf", "p");
  tm.AddFile("C:\\Program Files\\Fax\\Setup.tmp", "t");
  Open();
  EXPECT_TRUE(JournalFile("C:\\PROGRAM FILES\\Fax\\OEM3.PNF"));
  EXPECT_TRUE(JournalFile("C:\\Program Files\\Fax\\\\Setup.tmp"));
  EXPECT_EQ(J("Files.txt"),
            "00000020\tFiles\\F000001\tC:\\PROGRAM FILES\\Fax\\oem3.pnf\r\n"
            "00000020\tFiles\\F000002\tC:\\Program Files\\Fax\\Setup.tmp\r\n");
}

TEST_F(JournalFilesTest, ReadOnlyFileIsListedWithItsOriginalAttributes) {
  tm.AddFile(kA, "ro");
  tm.SetReadOnly(kA);
  Open();
  Delete({kA});
  EXPECT_FALSE(tm.Exists(kA));
  // READONLY | ARCHIVE: read before the delete cleared the read-only flag.
  EXPECT_EQ(J("Files.txt"), std::string("00000021\tFiles\\F000001\t") + kA + "\r\n");
}

TEST_F(JournalFilesTest, LockedFileIsNeitherCopiedNorDeletedNorDeferred) {
  tm.AddFile(kA, "locked");
  tm.SetInUse(kA);
  tm.AddFile(kB, "free");
  Open();
  EXPECT_EQ(Delete({kA, kB}), 1);
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_FALSE(tm.Exists(kB));
  EXPECT_EQ(Batch().find("a.dll"), std::string::npos);
  EXPECT_TRUE(LogHas(NoBackup(kA, 32)));
  // Only the file that went is listed; its copy got the first name.
  EXPECT_EQ(J("Files.txt"), std::string("00000020\tFiles\\F000002\t") + kB + "\r\n");
  EXPECT_FALSE(tm.Exists(std::string(kJ) + "Files\\F000001"));
}

TEST_F(JournalFilesTest, FailedCopyOrListLineKeepsTheFileAndNoHalfCopy) {
  tm.AddFile(kA, "aaa");
  tm.AddFile(kB, "bbb");
  Open();
  tm.AddFault("WriteFile", 112, std::string(kJ) + "Files\\F000001", 1);
  tm.AddFault("CreateFileA", 5, std::string(kJ) + "Files.txt", 1);
  Delete({kA, kB});
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_TRUE(LogHas(NoBackup(kA, 112)));
  EXPECT_TRUE(LogHas(NoBackup(kB, 5)));
  EXPECT_FALSE(tm.Exists(std::string(kJ) + "Files\\F000001"));
  EXPECT_FALSE(tm.Exists(std::string(kJ) + "Files\\F000002"));
  EXPECT_FALSE(LogHas("Deleted file"));
}

TEST_F(JournalFilesTest, MissingFileAndFolderNeedNoBackup) {
  Open();
  EXPECT_TRUE(JournalFile("C:\\Program Files\\Fax\\gone.dll"));
  EXPECT_TRUE(JournalFile("C:\\Nowhere\\x.dll"));
  tm.AddDir(kDir);
  EXPECT_TRUE(JournalFile(kDir));
  EXPECT_FALSE(tm.Exists(std::string(kJ) + "Files.txt"));
}

TEST_F(JournalFilesTest, SweptFolderComesBackBeforeItsFiles) {
  tm.AddFile(kA, "aaa");
  tm.AddFile(std::string(kDir) + "\\Sub\\c.txt", "ccc");
  tm.SetReadOnly(kB);
  tm.AddFile(kB, "bbb");
  Open();
  Delete({std::string(">") + kDir + "\\Sub", std::string(">") + kDir});
  g_UndoJournal.Close();
  EXPECT_EQ(J("Folders.txt"), std::string(kDir) + "\\Sub\r\n" + kDir + "\r\n");
  const std::string script = J("Restore.bat");
  const size_t mdTop = script.find(std::string("md \"") + kDir + "\"\r\n");
  const size_t mdSub = script.find(std::string("md \"") + kDir + "\\Sub\"");
  const size_t copyC = script.find("\\Sub\\c.txt\"");
  ASSERT_NE(mdTop, std::string::npos);
  ASSERT_NE(copyC, std::string::npos);
  EXPECT_LT(mdTop, mdSub);
  EXPECT_LT(mdSub, copyC);
  EXPECT_NE(script.find(std::string("attrib +R +A -S -H \"") + kB + "\""), std::string::npos);
}

// Swept in the list's order, parent first: both go to the erase batch, and the
// script still makes the parent first (COMMAND.COM's MD makes one folder).
TEST_F(JournalFilesTest, ParentSweptFirstIsStillMadeFirst) {
  tm.AddFile(std::string(kDir) + "\\Sub\\c.txt", "ccc");
  Open();
  Delete({std::string(">") + kDir, std::string(">") + kDir + "\\Sub"});
  g_UndoJournal.Close();
  EXPECT_EQ(J("Folders.txt"), std::string(kDir) + "\r\n" + kDir + "\\Sub\r\n");
  const std::string script = J("Restore.bat");
  const size_t mdTop = script.find(std::string("md \"") + kDir + "\"\r\n");
  const size_t mdSub = script.find(std::string("md \"") + kDir + "\\Sub\"");
  ASSERT_NE(mdTop, std::string::npos);
  EXPECT_LT(mdTop, mdSub);
}

TEST_F(JournalFilesTest, FileKeptInASweptFolderKeepsTheFolder) {
  tm.AddFile(kA, "aaa");
  tm.AddFile(kB, "bbb");
  tm.SetInUse(kB);
  Open();
  Delete({std::string(">") + kDir});
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.Exists(kB));
  EXPECT_TRUE(tm.IsDir(kDir));
  EXPECT_FALSE(tm.Exists(std::string(kJ) + "Folders.txt"));
  EXPECT_EQ(Batch().find("Fax"), std::string::npos);
}

TEST_F(JournalFilesTest, FolderWithoutItsLineIsNotRemoved) {
  tm.AddFile(kA, "aaa");
  Open();
  tm.AddFault("CreateFileA", 112, std::string(kJ) + "Folders.txt");
  Delete({std::string(">") + kDir}, 1);
  EXPECT_FALSE(tm.Exists(kA));
  EXPECT_TRUE(tm.IsDir(kDir));
  EXPECT_TRUE(LogHas(NoBackup(kDir, 112)));
}

class JournalFiles98Test : public JournalFilesTest {
 protected:
  JournalFiles98Test() : JournalFilesTest("98") {}
};

// Put off to the next start: copied when it goes into the batch.
TEST_F(JournalFiles98Test, DeferredFileIsCopiedWhenBatched) {
  tm.AddFile(kA, "aaa");
  tm.SetReadOnly(kA);
  tm.AddFault("SetFileAttributesA", 5, kA);
  Open();
  Delete({kA}, 1);
  EXPECT_TRUE(tm.Exists(kA));
  EXPECT_NE(Batch().find("DEL C:\\PROGRA~1\\Fax\\a.dll"), std::string::npos);
  EXPECT_EQ(J("Files\\F000001"), "aaa");
  EXPECT_EQ(J("Files.txt"), std::string("00000021\tFiles\\F000001\t") + kA + "\r\n");
}

TEST_F(JournalFilesTest, InfWithoutBackupStaysAndItsPnfStillGoes) {
  const std::string inf = "C:\\WINDOWS\\INF\\OEM3.INF";
  const std::string pnf = "C:\\WINDOWS\\INF\\OEM3.PNF";
  tm.AddFile(inf, "Model=\"VT TRX 5100 series\"\r\n");
  tm.AddFile(pnf, "pnf");
  tm.SetCurrentDir("C:\\Scrubber");
  Open();
  // The INF's copy cannot be made; the PNF's (the second name) can.
  tm.AddFault("CreateFileA", 5, std::string(kJ) + "Files\\F000001");
  CInfSeekAndDestroy seeker;
  EXPECT_EQ(seeker.DeleteINF("C:\\WINDOWS\\INF", "VT TRX 5100 series", 0), 1);
  EXPECT_TRUE(tm.Exists(inf));
  EXPECT_FALSE(tm.Exists(pnf));
  EXPECT_EQ(J("Files\\F000002"), "pnf");
  EXPECT_EQ(J("Files.txt"), "00000020\tFiles\\F000002\t" + pnf + "\r\n");
  EXPECT_TRUE(LogHas(NoBackup(inf, 5)));
  EXPECT_FALSE(LogHas("Unable to remove INF file"));
}

}  // namespace
